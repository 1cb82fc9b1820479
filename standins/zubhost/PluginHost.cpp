#include "PluginHost.h"

#include <IZubQualityControlServiceFactory.h>

#include <QCoreApplication>

namespace {
const char* const kPluginName = "ZubQualityControlProxy64d";
const char* const kServiceName = "ZubQualityControl";
} // namespace

void HostBundleContext::registerServiceFactory(IServiceFactory* factory)
{
    if (factory)
        m_factories.emplace_back(factory);
}

IServiceFactory* HostBundleContext::findFactory(const QString& serviceName) const
{
    for (const auto& factory : m_factories)
        if (factory->serviceName() == serviceName)
            return factory.get();
    return nullptr;
}

PluginHost::PluginHost()
    : m_library(QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                QLatin1String(kPluginName))
{}

PluginHost::~PluginHost()
{
    if (m_pActivator)
        m_pActivator->deactivate();
}

bool PluginHost::load(QString* error)
{
    auto getBundle = reinterpret_cast<GetBundleFunc>(m_library.resolve("getbundle"));
    if (!getBundle) {
        *error = m_library.errorString();
        return false;
    }
    m_pActivator.reset(getBundle());
    if (!m_pActivator) {
        *error = QStringLiteral("getbundle returned no activator");
        return false;
    }
    m_pActivator->activate(&m_context, nullptr);
    m_pFactory = dynamic_cast<IZubQualityControlServiceFactory*>(
        m_context.findFactory(QLatin1String(kServiceName)));
    if (!m_pFactory) {
        *error =
            QStringLiteral("the bundle registered no %1 service").arg(QLatin1String(kServiceName));
        return false;
    }
    return true;
}

IZubQualityControlServiceFactory* PluginHost::factory() const
{
    return m_pFactory;
}
