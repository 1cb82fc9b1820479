#pragma once
// The plug-in as a host sees it: loaded by name from the test's own folder,
// activated with a bundle context that keeps what gets registered.
#include <IBundlerActivator.h>
#include <IServiceFactory.h>
#include <IZubQualityControlServiceFactory.h>
#include "QualityControlProbe.h"
#include "QtPrinters.h"

#include <QCoreApplication>
#include <QLibrary>
#include <gtest/gtest.h>

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

// Where the plug-in looks for the module, relative to the application folder.
inline QString moduleDirFor(const QString& appDir)
{
    return appDir + "/../Module/QualityControl/1/QualityControl/";
}

inline QString modulePathFor(const QString& appDir)
{
    return moduleDirFor(appDir) + "ZubQualityControl64d.dll";
}

class PluginFixture : public testing::Test
{
protected:
    void SetUp() override
    {
        m_getBundle = reinterpret_cast<GetBundleFunc>(m_plugin.resolve("getbundle"));
        ASSERT_NE(m_getBundle, nullptr) << m_plugin.errorString().toStdString();
    }

    std::unique_ptr<IBundlerActivator> newBundle()
    {
        return std::unique_ptr<IBundlerActivator>(m_getBundle());
    }

    // A factory from a fresh activation; the caller owns it, as the host does.
    std::unique_ptr<IZubQualityControlServiceFactory> newFactory()
    {
        KeepingContext context;
        newBundle()->activate(&context, nullptr);
        EXPECT_EQ(context.factories.size(), 1u);
        if (context.factories.size() != 1u)
            return nullptr;
        auto* factory =
            dynamic_cast<IZubQualityControlServiceFactory*>(context.factories.front().get());
        EXPECT_NE(factory, nullptr);
        if (factory)
            context.factories.front().release();
        return std::unique_ptr<IZubQualityControlServiceFactory>(factory);
    }

    // The module's probe; read only once the plug-in has loaded the module,
    // so that the module's first load stays the plug-in's.
    static const QualityControlProbe* probe()
    {
        QLibrary module(modulePathFor(QCoreApplication::applicationDirPath()));
        auto get =
            reinterpret_cast<GetQualityControlProbeFunc>(module.resolve("getQualityControlProbe"));
        return get ? get() : nullptr;
    }

    QLibrary m_plugin{QCoreApplication::applicationDirPath() + "/ZubQualityControlProxy64d"};
    GetBundleFunc m_getBundle = nullptr;
};
