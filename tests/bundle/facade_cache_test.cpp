#include "PluginFixture.h"

#include <QualityControlUIFacade.h>
#include <windows.h>

#include <QDir>
#include <string>

namespace {
void* tag(uintptr_t value)
{
    return reinterpret_cast<void*>(value);
}

std::wstring dllDirectory()
{
    WCHAR buffer[MAX_PATH] = {};
    GetDllDirectoryW(MAX_PATH, buffer);
    return buffer;
}
} // namespace

class FacadeCacheTest : public PluginFixture
{
protected:
    void TearDown() override
    {
        qunsetenv(QC_RETURN_NULL_VARIABLE);
        SetDllDirectoryW(nullptr);
    }
};

// Each factory loads and keeps a facade of its own, until it goes; one never
// asked deletes none.
TEST_F(FacadeCacheTest, ModuleEntryRunsOnceAndEachFactoryCachesItsOwnFacadeUntilItGoes)
{
    const QString name = QString::fromUtf8("质量控制 ü/..\\name");
    const std::wstring before = L"/opt/earlier dir";
    SetDllDirectoryW(before.c_str());

    auto factory = m_plugin.newFactory();
    QualityControlUIFacade* facade =
        factory->getUIFacade(tag(0x11), tag(0x22), name, tag(0x44), true);
    ASSERT_NE(facade, nullptr);
    EXPECT_EQ(dllDirectory(), before);

    const QualityControlProbe* p = probe();
    ASSERT_NE(p, nullptr);
    const int calls = p->entryCalls;
    const int live = p->liveFacades;
    EXPECT_EQ(factory->getUIFacade(nullptr, nullptr, "other", nullptr, false), facade);
    EXPECT_EQ(p->entryCalls, calls);

    // Arguments reached the entry unchanged and in their places.
    EXPECT_EQ(p->arg1, tag(0x11));
    EXPECT_EQ(p->arg2, tag(0x22));
    EXPECT_EQ(p->arg4, tag(0x44));
    EXPECT_TRUE(p->flag);
    EXPECT_EQ(QString::fromUtf8(p->name), name);
    EXPECT_EQ(facade->moduleVersion(), QString(p->version));

    // The directory in force while the module loaded: the module's own folder,
    // unnormalised, in native separators, trailing separator kept.
    EXPECT_EQ(QString::fromStdWString(p->dllDirectoryAtLoad),
              QDir::toNativeSeparators(moduleDir()));

    auto second = m_plugin.newFactory();
    EXPECT_NE(second->getUIFacade(nullptr, nullptr, "b", nullptr, false), facade);
    EXPECT_EQ(p->liveFacades, live + 1);
    m_plugin.newFactory().reset();
    EXPECT_EQ(p->liveFacades, live + 1);
    second.reset();
    EXPECT_EQ(p->liveFacades, live);
    factory.reset();
    EXPECT_EQ(p->liveFacades, live - 1);
}

TEST_F(FacadeCacheTest, NullFromTheEntryIsNotCachedAndTheNextCallLoadsAgain)
{
    auto factory = m_plugin.newFactory();
    qputenv(QC_RETURN_NULL_VARIABLE, "1");
    EXPECT_EQ(factory->getUIFacade(nullptr, nullptr, "n", nullptr, false), nullptr);
    const QualityControlProbe* p = probe();
    ASSERT_NE(p, nullptr);
    const int calls = p->entryCalls;
    const int live = p->liveFacades;
    EXPECT_EQ(dllDirectory(), std::wstring());

    qunsetenv(QC_RETURN_NULL_VARIABLE);
    QualityControlUIFacade* facade = factory->getUIFacade(nullptr, nullptr, "n", nullptr, false);
    ASSERT_NE(facade, nullptr);
    EXPECT_EQ(p->entryCalls, calls + 1);
    EXPECT_EQ(p->liveFacades, live + 1);
}
