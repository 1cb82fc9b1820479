// The stand-in core library as the client layer meets it: loaded by path,
// objects made through its class object, reports sent on its own threads.
#include "CoreScenario.h"
#include "DebugCapture.h"
#include "TempDir.h"
#include "TestPaths.h"

#include <qor/IDruxClient2.h>
#include <qor/IDruxNotify.h>
#include <qor/IQORCore.h>
#include <qor/QorIds.h>

#include <windows.h>
#include <unknwn.h>

#include <gtest/gtest.h>
#include <json/json.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

namespace {

// Counts reports and the release; checks that nothing arrives after it.
class CountingNotify final : public IDruxNotify
{
public:
    // Stage reports as (stage, percent), results as (100 + result, 0).
    HRESULT STDMETHODCALLTYPE NotifyResult(unsigned int, BSTR, BSTR, int, int result) override
    {
        return note(100 + result, 0);
    }
    HRESULT STDMETHODCALLTYPE NotifyStage(unsigned int, BSTR, BSTR, int, int stage,
                                          int percent) override
    {
        return note(stage, percent);
    }
    HRESULT STDMETHODCALLTYPE Release() override
    {
        ++releases;
        return S_OK;
    }

    bool waitForRelease() const
    {
        for (int i = 0; i < 1000 && releases == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return releases > 0;
    }

    std::atomic<int> reports{0};
    std::atomic<int> releases{0};
    std::atomic<int> lateReports{0};
    std::mutex lock;
    std::set<DWORD> threads;
    std::vector<std::pair<int, int>> values;

private:
    HRESULT note(int value, int percent)
    {
        if (releases > 0)
            ++lateReports;
        ++reports;
        const std::lock_guard<std::mutex> hold(lock);
        threads.insert(GetCurrentThreadId());
        values.emplace_back(value, percent);
        return S_OK;
    }
};

class CoreLibrary : public testing::Test
{
protected:
    CoreLibrary()
    {
        CoreScenario::clearJournal();
        const auto entry = reinterpret_cast<DllGetClassObjectFunc>(
            reinterpret_cast<void (*)()>(GetProcAddress(module, "DllGetClassObject")));
        EXPECT_NE(entry, nullptr);
        getClassObject = entry;
    }
    ~CoreLibrary() override { FreeLibrary(module); }

    // The product service made the way the client layer makes it.
    IDruxClient2* productService()
    {
        IClassFactory* factory = nullptr;
        IQORCore* core = nullptr;
        IDruxClient2* service = nullptr;
        if (SUCCEEDED(getClassObject(CLSID_QORCore, IID_IClassFactory,
                                     reinterpret_cast<void**>(&factory))) &&
            factory &&
            SUCCEEDED(
                factory->CreateInstance(nullptr, IID_IQORCore, reinterpret_cast<void**>(&core))))
            core->CreateInstance(CLSID_DruxClient2, IID_IDruxClient2,
                                 reinterpret_cast<void**>(&service));
        if (core)
            core->Release();
        if (factory)
            factory->Release();
        return service;
    }

    HMODULE module = LoadLibraryA(TestPaths::inBuild("qor/x64/qorcore.dll").c_str());
    DllGetClassObjectFunc getClassObject = nullptr;
    CoreScenario scenario;
};

TEST_F(CoreLibrary, UnusableScenarioIsReportedAndRefusedAtOnce)
{
    DebugCapture capture;
    scenario.write(R"({"check": {"busyChecks": "two"}})");
    void* factory = &capture;
    EXPECT_EQ(getClassObject(CLSID_QORCore, IID_IClassFactory, &factory),
              static_cast<HRESULT>(0x8007000D));
    EXPECT_EQ(factory, nullptr);
    EXPECT_TRUE(capture.contains("qorcore: scenario " + scenario.path() +
                                 " is not usable: product.check.busyChecks: expected an integer"));

    CoreScenario::setEnvironment("QORCORE_SCENARIO", scenario.path() + ".absent");
    capture.clear();
    EXPECT_EQ(getClassObject(CLSID_QORCore, IID_IClassFactory, &factory),
              static_cast<HRESULT>(0x8007000D));
    EXPECT_TRUE(
        capture.contains("qorcore: scenario " + scenario.path() + ".absent cannot be opened"));
}

TEST_F(CoreLibrary, ConcurrentScriptReleasesAfterEveryThreadIsDone)
{
    scenario.write(R"({"doUpdate": {"concurrent": true, "releaseDelayMs": 5, "reports": [
        {"thread": 1, "stage": 1, "delayMs": 20}, {"thread": 1, "stage": 2},
        {"thread": 2, "stage": 1}, {"thread": 2, "stage": 3, "delayMs": 30},
        {"thread": 3, "result": 0, "delayMs": 10}]}})");
    IDruxClient2* service = productService();
    ASSERT_NE(service, nullptr);
    CountingNotify notify;
    int code = -1;
    BSTR name = SysAllocString(L"Mirn6_QualityControl");
    EXPECT_EQ(service->DoUpdate(&code, name, 64, &notify), S_OK);
    SysFreeString(name);
    ASSERT_TRUE(notify.waitForRelease());
    EXPECT_EQ(notify.reports, 5);
    EXPECT_EQ(notify.lateReports, 0);
    EXPECT_EQ(notify.threads.size(), 3u);
    EXPECT_EQ(notify.threads.count(GetCurrentThreadId()), 0u);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(notify.releases, 1);
    service->Release();
}

TEST_F(CoreLibrary, RefusedUpdateNeverTouchesTheSink)
{
    scenario.write(R"({"doUpdate": {"status": 1, "code": 8, "reports": [{"stage": 1}]}})");
    IDruxClient2* service = productService();
    ASSERT_NE(service, nullptr);
    CountingNotify notify;
    int code = -1;
    EXPECT_EQ(service->DoUpdate(&code, nullptr, 64, &notify), 1);
    EXPECT_EQ(code, 8);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(notify.reports, 0);
    EXPECT_EQ(notify.releases, 0);
    service->Release();
}

std::string fileText(const std::string& path, std::ios::openmode mode = std::ios::binary)
{
    std::ifstream in(path, mode);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string textOf(BSTR text)
{
    char buffer[4096] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof buffer - 1, nullptr, nullptr);
    return buffer;
}

TEST_F(CoreLibrary, LocalRepositoryInstallsANewerPackageWithByteProgress)
{
    TempDir packages;
    TempDir modules;
    const std::string module = "ZubQualityControl64d.dll";
    std::string payload(200000, '\0');
    for (size_t i = 0; i < payload.size(); ++i)
        payload[i] = static_cast<char>(i * 7919 % 251);
    std::ofstream(packages.file(module), std::ios::binary) << payload;
    std::ofstream(packages.file("qc.json"))
        << R"({"appname": "Mirn6_QualityControl", "version": "6.10.0",
        "bits": 64, "title": "Quality Control", "desc": "charts", "file": "ZubQualityControl64d.dll"})";
    std::ofstream(packages.file("older.json"))
        << R"({"appname": "Mirn6_QualityControl", "version": "6.2.0",
        "file": "ZubQualityControl64d.dll"})";
    std::ofstream(modules.file(module), std::ios::binary) << "old module";
    std::ofstream(modules.file(module + ".version")) << "6.9.3\n";
    // Quoted as JSON: Windows paths hold backslashes.
    scenario.write(R"({"repository": {"packages": )" +
                   Json::valueToQuotedString(packages.path().c_str()) + R"(, "modules": )" +
                   Json::valueToQuotedString(modules.path().c_str()) +
                   R"(, "chunkBytes": 65536}})");

    IDruxClient2* service = productService();
    ASSERT_NE(service, nullptr);
    int code = -1;
    BSTR name = SysAllocString(L"Mirn6_QualityControl");
    ASSERT_EQ(service->Start(&code, name, 64), S_OK);
    unsigned int hasUpdate = 0;
    BSTR reason = nullptr;
    BSTR list = nullptr;
    ASSERT_EQ(service->CheckUpdate(&code, &hasUpdate, &reason, &list), S_OK);
    EXPECT_EQ(hasUpdate, 1u);
    EXPECT_EQ(textOf(list),
              R"([{"appname":"Mirn6_QualityControl","bits":64,"desc":"charts","fsize":200000,)"
              R"("opentime":0,"silent":0,"sp":0,"title":"Quality Control","version":"6.10.0"}])");
    SysFreeString(list);

    CountingNotify notify;
    ASSERT_EQ(service->DoUpdate(&code, name, 64, &notify), S_OK);
    ASSERT_TRUE(notify.waitForRelease());
    const std::vector<std::pair<int, int>> expected = {{1, 32}, {1, 65}, {1, 98}, {1, 100},
                                                       {2, 0},  {3, 0},  {4, 0},  {100, 0}};
    EXPECT_EQ(notify.values, expected);
    EXPECT_EQ(fileText(modules.file(module)), payload);
    // A text file, with the system's line ends.
    EXPECT_EQ(fileText(modules.file(module + ".version"), std::ios::in), "6.10.0\n");
    EXPECT_FALSE(std::filesystem::exists(modules.file(module + ".part")));

    // Installed now: nothing newer, and nothing to update.
    ASSERT_EQ(service->CheckUpdate(&code, &hasUpdate, &reason, &list), S_OK);
    EXPECT_EQ(hasUpdate, 0u);
    EXPECT_EQ(code, 16);
    EXPECT_EQ(textOf(reason), "Mirn6_QualityControl is up to date");
    SysFreeString(reason);
    CountingNotify refused;
    EXPECT_EQ(service->DoUpdate(&code, name, 64, &refused), 1);
    EXPECT_EQ(code, 7);
    EXPECT_EQ(refused.releases, 0);
    SysFreeString(name);
    service->Release();
}

} // namespace
