#pragma once
#include <IBundlerActivator.h>
#include <IServiceFactory.h>

#include <memory>
#include <vector>

// A host's bundle context that keeps what gets registered.
class KeepingContext : public IBundleContext
{
public:
    void registerServiceFactory(IServiceFactory* factory) override
    {
        factories.emplace_back(factory);
    }
    std::vector<std::unique_ptr<IServiceFactory>> factories;
};
