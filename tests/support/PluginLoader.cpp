#include "PluginLoader.h"

#include <QCoreApplication>

std::unique_ptr<IZubQualityControlServiceFactory> KeepingContext::takeFactory()
{
    if (factories.size() != 1)
        return nullptr;
    auto* factory = dynamic_cast<IZubQualityControlServiceFactory*>(factories.front().get());
    if (factory)
        factories.front().release();
    return std::unique_ptr<IZubQualityControlServiceFactory>(factory);
}

PluginLoader::PluginLoader()
    : PluginLoader(QCoreApplication::applicationDirPath() + "/" + PLUGIN_FILE)
{}

PluginLoader::PluginLoader(const QString& path)
    : m_library(path)
{}

std::unique_ptr<IBundlerActivator> PluginLoader::newBundle()
{
    const auto getbundle = reinterpret_cast<GetBundleFunc>(m_library.resolve("getbundle"));
    return std::unique_ptr<IBundlerActivator>(getbundle ? getbundle() : nullptr);
}

std::unique_ptr<IZubQualityControlServiceFactory> PluginLoader::activate(IBundlerActivator& bundle)
{
    KeepingContext context;
    bundle.activate(&context, nullptr);
    return context.takeFactory();
}

std::unique_ptr<IZubQualityControlServiceFactory> PluginLoader::newFactory()
{
    const auto bundle = newBundle();
    return bundle ? activate(*bundle) : nullptr;
}
