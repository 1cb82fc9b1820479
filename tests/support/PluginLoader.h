#pragma once
#include <IBundlerActivator.h>
#include <IServiceFactory.h>
#include <IZubQualityControlServiceFactory.h>

#include <QLibrary>

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
    // The one Quality Control factory registered, handed over; null (and the
    // rest kept) when there was not exactly one.
    std::unique_ptr<IZubQualityControlServiceFactory> takeFactory();

    std::vector<std::unique_ptr<IServiceFactory>> factories;
};

// The plug-in as a host loads it: by file name from the test program's folder
// (or from `path`), each bundle activated with a context of its own.
class PluginLoader
{
public:
    PluginLoader();
    explicit PluginLoader(const QString& path);

    // Null when the plug-in or its export cannot be had.
    std::unique_ptr<IBundlerActivator> newBundle();
    // The factory that an activation of `bundle` registers; the caller owns
    // it, as the host does.
    static std::unique_ptr<IZubQualityControlServiceFactory> activate(IBundlerActivator& bundle);
    // The factory of a fresh bundle's activation.
    std::unique_ptr<IZubQualityControlServiceFactory> newFactory();

    QLibrary& library() { return m_library; }

private:
    QLibrary m_library;
};
