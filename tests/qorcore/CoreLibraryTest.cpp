// The stand-in core library as the client layer meets it: loaded by path,
// objects made through its class object, reports sent on its own threads.
#include "CoreScenario.h"
#include "DebugCapture.h"
#include "TestPaths.h"

#include <qor/IDruxClient2.h>
#include <qor/IDruxNotify.h>
#include <qor/IQORCore.h>
#include <qor/QorIds.h>

#include <unknwn.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <thread>

namespace {

// Counts reports and the release; checks that nothing arrives after it.
class CountingNotify final : public IDruxNotify
{
public:
    HRESULT STDMETHODCALLTYPE NotifyResult(unsigned int, BSTR, BSTR, int, int) override { return note(); }
    HRESULT STDMETHODCALLTYPE NotifyStage(unsigned int, BSTR, BSTR, int, int, int) override { return note(); }
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

private:
    HRESULT note()
    {
        if (releases > 0)
            ++lateReports;
        ++reports;
        const std::lock_guard<std::mutex> hold(lock);
        threads.insert(GetCurrentThreadId());
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
        if (SUCCEEDED(getClassObject(CLSID_QORCore, IID_IClassFactory, reinterpret_cast<void**>(&factory))) &&
            factory && SUCCEEDED(factory->CreateInstance(nullptr, IID_IQORCore, reinterpret_cast<void**>(&core))))
            core->CreateInstance(CLSID_DruxClient2, IID_IDruxClient2, reinterpret_cast<void**>(&service));
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
    EXPECT_EQ(getClassObject(CLSID_QORCore, IID_IClassFactory, &factory), static_cast<HRESULT>(0x8007000D));
    EXPECT_EQ(factory, nullptr);
    EXPECT_TRUE(capture.contains("qorcore: scenario " + scenario.path() +
                                 " is not usable: product.check.busyChecks: expected an integer"));

    CoreScenario::setEnvironment("QORCORE_SCENARIO", scenario.path() + ".absent");
    capture.clear();
    EXPECT_EQ(getClassObject(CLSID_QORCore, IID_IClassFactory, &factory), static_cast<HRESULT>(0x8007000D));
    EXPECT_TRUE(capture.contains("qorcore: scenario " + scenario.path() + ".absent cannot be opened"));
}

TEST_F(CoreLibrary, ObjectsAnswerForTheirOwnIdsOnly)
{
    void* object = nullptr;
    EXPECT_EQ(getClassObject(CLSID_DruxClient2, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
    IClassFactory* factory = nullptr;
    ASSERT_EQ(getClassObject(CLSID_QORCore, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    EXPECT_EQ(factory->CreateInstance(reinterpret_cast<IUnknown*>(factory), IID_IQORCore, &object),
              CLASS_E_NOAGGREGATION);
    IQORCore* core = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IQORCore, reinterpret_cast<void**>(&core)), S_OK);
    EXPECT_EQ(core->CreateInstance(CLSID_DruxClient2, IID_IQORCore, &object), E_NOINTERFACE);
    EXPECT_EQ(core->CreateInstance(IID_IQORCore, IID_IDruxClient2, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    core->Release();
    factory->Release();
    EXPECT_NE(CoreScenario::journal().find("Core.Release\n"), std::string::npos);
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

}  // namespace
