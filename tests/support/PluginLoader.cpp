#include "PluginLoader.h"

#include <QCoreApplication>

#include <vector>

namespace {
// A host's bundle context that keeps what gets registered.
struct KeepingContext : IBundleContext
{
    void registerServiceFactory(IServiceFactory* factory) override
    {
        factories.emplace_back(factory);
    }
    std::vector<std::unique_ptr<IServiceFactory>> factories;
};
} // namespace

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
    if (context.factories.size() != 1)
        return nullptr;
    auto* factory =
        dynamic_cast<IZubQualityControlServiceFactory*>(context.factories.front().get());
    if (factory)
        context.factories.front().release();
    return std::unique_ptr<IZubQualityControlServiceFactory>(factory);
}

std::unique_ptr<IZubQualityControlServiceFactory> PluginLoader::newFactory()
{
    const auto bundle = newBundle();
    return bundle ? activate(*bundle) : nullptr;
}
