// The module table on real files: loaded once per path, kept until freeAll,
// refused files, and one load when threads miss together.
#include "CoreScenario.h"
#include "LogLines.h"
#include "TempDir.h"
#include "TestPaths.h"

#include <ModuleRegistry.h>

#include <qor/IQORCore.h>
#include <qor/QorIds.h>

#include <windows.h>
#include <shlwapi.h>
#include <stdio.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

using testing::ElementsAre;
using testing::StartsWith;

namespace {

std::string canonical(const std::string& path)
{
    char text[MAX_PATH] = {};
    PathCanonicalizeA(text, path.c_str());
    return text;
}

// As the log prints it: the C runtime's own %p (upper-case digits on Windows).
std::string pointerText(HMODULE module)
{
    char text[32] = {};
    _snprintf(text, sizeof text - 1, "%p", static_cast<void*>(module));
    return text;
}

class LoadingModules : public testing::Test
{
protected:
    ~LoadingModules() override { registry.freeAll(); }

    // Whether a core came from `path`; it is released at once.
    bool createCore(const std::string& path)
    {
        capture.clear();
        IQORCore* core = nullptr;
        const bool made = registry.createObjectFromDll(path, CLSID_QORCore, IID_IQORCore,
                                                       reinterpret_cast<void**>(&core));
        EXPECT_EQ(made, core != nullptr);
        if (core)
            core->Release();
        return made;
    }

    std::vector<std::string> messages() const { return loggedMessages(capture); }

    // Spelt as the client spells it: the install folder, then '\' separators.
    const std::string coreFolder = TestPaths::inBuild("qor");
    const std::string corePath = coreFolder + "\\x64\\qorcore.dll";
    CoreScenario scenario;
    DebugCapture capture;
    QORCLIENT::ProcessEndGate end;
    QORCLIENT::ModuleRegistry registry{end};
};

TEST_F(LoadingModules, CoreIsLoadedOnceAndItsObjectCreated)
{
    ASSERT_TRUE(createCore(corePath));
    const HMODULE module = registry.loadModule(corePath.c_str());
    ASSERT_NE(module, nullptr);
    const std::string key = canonical(corePath);
    EXPECT_THAT(messages(), ElementsAre("load " + key + " at " + pointerText(module),
                                        "create instance ret 0x00000000"));

    ASSERT_TRUE(createCore(corePath));
    EXPECT_THAT(messages(), ElementsAre("find a loaded module " + pointerText(module) + " for " +
                                            key + ", use this directly",
                                        "create instance ret 0x00000000"));
}

TEST_F(LoadingModules, DotSegmentsFindTheEntryButLetterCaseMakesANewOne)
{
    const HMODULE module = registry.loadModule(corePath.c_str());
    ASSERT_NE(module, nullptr);
    const std::string dotted = coreFolder + "\\x64\\..\\x64\\.\\qorcore.dll";
    capture.clear();
    EXPECT_EQ(registry.loadModule(dotted.c_str()), module);
    EXPECT_TRUE(messages().empty());

    const std::string upper = coreFolder + "\\x64\\QORCORE.dll";
    capture.clear();
    const HMODULE again = registry.loadModule(upper.c_str());
    EXPECT_EQ(again, module);
    EXPECT_THAT(messages(), ElementsAre("load " + upper + " at " + pointerText(again)));

    // Both entries go with freeAll; the next use loads afresh.
    registry.freeAll();
    capture.clear();
    EXPECT_NE(registry.loadModule(corePath.c_str()), nullptr);
    EXPECT_THAT(messages(), ElementsAre(StartsWith("load " + corePath + " at ")));
}

// Each test is a process of its own, so here the failure's line is the one
// that creates the logger: the load's error must be taken before it.
TEST_F(LoadingModules, FilesThatAreNoUsableCoreAreRefused)
{
    TempDir folder;
    const std::string missing = folder.file("qorcore.dll");
    EXPECT_FALSE(createCore(missing));
    EXPECT_THAT(messages(),
                ElementsAre("LoadLibrary failed, error 126, path " + canonical(missing)));

    // Loaded, found without the entry, unloaded, not remembered: a second
    // attempt loads it again.
    const std::string noEntry = TestPaths::inBuild("testlibs/noentry.dll");
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_FALSE(createCore(noEntry));
        EXPECT_THAT(messages(), ElementsAre("get DllGetClassObject function failed"));
    }
}

TEST_F(LoadingModules, ThreadsThatMissTogetherLoadOnce)
{
    std::vector<HMODULE> modules(4);
    std::vector<std::thread> threads;
    for (HMODULE& module : modules)
        threads.emplace_back([&] { module = registry.loadModule(corePath.c_str()); });
    for (std::thread& thread : threads)
        thread.join();
    for (const HMODULE module : modules)
        EXPECT_EQ(module, modules[0]);
    EXPECT_EQ(countLogged(capture, "load " + corePath + " at " + pointerText(modules[0])), 1);
}

} // namespace
