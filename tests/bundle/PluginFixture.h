#pragma once
// The plug-in as a host sees it: loaded by name from the test's own folder,
// activated with a bundle context that keeps what gets registered.
#include "PluginLoader.h"
#include "QualityControlProbe.h"
#include "QtPrinters.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

// Where the plug-in looks for the module, beside the application folder.
inline QString moduleDir()
{
    return QCoreApplication::applicationDirPath() + "/../Module/QualityControl/1/QualityControl/";
}

class PluginFixture : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_plugin.library().load()) << m_plugin.library().errorString().toStdString();
    }

    // The module's probe; read only once the plug-in has loaded the module,
    // so that the module's first load stays the plug-in's.
    static const QualityControlProbe* probe()
    {
        const auto get = reinterpret_cast<GetQualityControlProbeFunc>(
            QLibrary::resolve(moduleDir() + "ZubQualityControl64d.dll", "getQualityControlProbe"));
        return get ? get() : nullptr;
    }

    PluginLoader m_plugin;
};
