#pragma once
#include <IBundlerActivator.h>

#include <QLibrary>
#include <memory>
#include <vector>

class IServiceFactory;
class IZubQualityControlServiceFactory;

// The host's bundle context: it keeps every registered factory and deletes
// them when it goes.
class HostBundleContext : public IBundleContext
{
public:
    void registerServiceFactory(IServiceFactory* factory) override;
    IServiceFactory* findFactory(const QString& serviceName) const;

private:
    std::vector<std::unique_ptr<IServiceFactory>> m_factories;
};

// Loads the plug-in from the host's own folder, activates its bundle and
// keeps the Quality Control factory it registered.
class PluginHost
{
public:
    PluginHost();
    ~PluginHost();
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    // False with a reason when the plug-in or its factory is missing.
    bool load(QString* error);
    IZubQualityControlServiceFactory* factory() const;

private:
    QLibrary m_library;
    HostBundleContext m_context;
    std::unique_ptr<IBundlerActivator> m_pActivator;
    IZubQualityControlServiceFactory* m_pFactory = nullptr;
};
