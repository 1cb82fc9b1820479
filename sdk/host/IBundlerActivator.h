#pragma once
#include "ZubHostExport.h"

class IServiceFactory;

// The host's side of a bundle: what an activator may register.
class ZUB_INTERFACE IBundleContext
{
public:
    virtual ~IBundleContext() {}
    // The host takes the factory over and may delete it.
    virtual void registerServiceFactory(IServiceFactory* factory) = 0;
};

class ZUB_INTERFACE IBundlerActivator
{
public:
    virtual ~IBundlerActivator() {}
    virtual void activate(IBundleContext* context, void* reserved) = 0;
    virtual void deactivate() = 0;
};

// The plug-in's single export, resolved by name.
typedef IBundlerActivator* (*GetBundleFunc)();
