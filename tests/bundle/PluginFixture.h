#pragma once
// The plug-in as a host sees it: loaded by name from the test's own folder,
// activated with a bundle context that keeps what gets registered.
#include "PluginLoader.h"
#include "QualityControlProbe.h"
#include "QtPrinters.h"

#include <QCoreApplication>
#include <QLibrary>
#include <gtest/gtest.h>

#include <memory>

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
        ASSERT_TRUE(m_plugin.library().load()) << m_plugin.library().errorString().toStdString();
    }

    std::unique_ptr<IBundlerActivator> newBundle() { return m_plugin.newBundle(); }
    std::unique_ptr<IZubQualityControlServiceFactory> newFactory() { return m_plugin.newFactory(); }

    // The module's probe; read only once the plug-in has loaded the module,
    // so that the module's first load stays the plug-in's.
    static const QualityControlProbe* probe()
    {
        QLibrary module(modulePathFor(QCoreApplication::applicationDirPath()));
        auto get =
            reinterpret_cast<GetQualityControlProbeFunc>(module.resolve("getQualityControlProbe"));
        return get ? get() : nullptr;
    }

    PluginLoader m_plugin;
};
