#pragma once
#include <IBundlerActivator.h>
#include <IZubQualityControlServiceFactory.h>

#include <QLibrary>

#include <memory>

// The plug-in as a host loads it: by file name from the test program's folder
// (or from `path`), each bundle activated with a context of its own.
class PluginLoader
{
public:
    PluginLoader();
    explicit PluginLoader(const QString& path);

    // Null when the plug-in or its export cannot be had.
    std::unique_ptr<IBundlerActivator> newBundle();
    // The one Quality Control factory that an activation of `bundle`
    // registers, owned by the caller as by the host; null (and the rest
    // deleted) when there was not exactly one.
    static std::unique_ptr<IZubQualityControlServiceFactory> activate(IBundlerActivator& bundle);
    // The factory of a fresh bundle's activation.
    std::unique_ptr<IZubQualityControlServiceFactory> newFactory();

    QLibrary& library() { return m_library; }

private:
    QLibrary m_library;
};
