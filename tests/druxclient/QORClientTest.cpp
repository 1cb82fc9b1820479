// The process-wide platform client. It is made once per process and never
// made again, so each case runs in a child process of its own: the parent
// lays out the registry and the scenario, the child (a disabled test run by
// name) checks what happened.
#include "ChildProcess.h"
#include "CoreScenario.h"
#include "LogLines.h"
#include "RegistryFixture.h"
#include "TempDir.h"
#include "TestPaths.h"

#include <libdruxclient/QORClient.h>

#include <qor/IDruxClient2.h>
#include <qor/QorIds.h>

#include <windows.h>
#include <shlwapi.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <thread>

using testing::ElementsAre;
using testing::StartsWith;

namespace {

const char* const kKey = "SOFTWARE\\Trevik\\QOR\\2.0";
const char* const kMissingVariable = "DRUXCLIENT_TEST_MISSING";
const CLSID kUnknownClass = {0x12345678, 0x1, 0x2, {1, 2, 3, 4, 5, 6, 7, 8}};

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Asks for a product service; true when one came (it is released again).
HRESULT createProductService(QORCLIENT::IQORClient* client)
{
    IDruxClient2* service = nullptr;
    const HRESULT status = client->CreateInstance(CLSID_DruxClient2, IID_IDruxClient2,
                                                  reinterpret_cast<void**>(&service));
    if (service)
        service->Release();
    return status;
}

class ClientProcess : public testing::Test
{
protected:
    // Runs the child test `name` with the registry and scenario laid out.
    int runChild(const std::string& name, const std::string& regText,
                 const std::string& scenario = "{}")
    {
        registry.install(regText);
        const std::string scenarioFile = folder.file("scenario.json");
        std::ofstream(scenarioFile) << scenario;
        ChildProcess child(ChildProcess::selfPath(),
                           ChildProcess::testArguments("ClientChild." + name),
                           {{"QORCORE_SCENARIO", scenarioFile}, {kMissingVariable, missing}});
        EXPECT_TRUE(child.started());
        return child.wait(60000).value_or(-1);
    }

    TempDir folder;
    const std::string missing = folder.file("missing");
    RegistryFixture registry;
};

TEST_F(ClientProcess, ConcurrentFirstCallsMakeOneClient)
{
    EXPECT_EQ(runChild("DISABLED_concurrentFirstCalls",
                       CoreScenario::registryText(CoreScenario::installFolder())),
              0);
}

TEST(ClientChild, DISABLED_concurrentFirstCalls)
{
    DebugCapture capture;
    const int callers = 8;
    std::vector<QORCLIENT::IQORClient*> clients(callers);
    std::vector<std::thread> threads;
    for (auto& client : clients)
        threads.emplace_back([&client] { client = QORCLIENT::getQORClient(); });
    for (auto& thread : threads)
        thread.join();
    for (auto* client : clients)
        EXPECT_EQ(client, clients[0]);
    EXPECT_EQ(countLogged(capture, "QORClient ctor"), 1);
    EXPECT_EQ(countLogged(capture, "create IQORCore from qorcore OK"), 1);
    EXPECT_EQ(countLogged(capture, "get IQORClient OK"), callers);

    // The count is the number of callers; reaching 0 destroys nothing.
    QORCLIENT::IQORClient* client = clients[0];
    EXPECT_EQ(client->AddRef(), ULONG(callers + 1));
    for (int left = callers; left >= 0; --left)
        EXPECT_EQ(client->Release(), ULONG(left));
    EXPECT_EQ(createProductService(client), S_OK);
}

TEST_F(ClientProcess, NoRegistryKeyLeavesAClientWithoutCore)
{
    EXPECT_EQ(runChild("DISABLED_withoutCore", "REGEDIT4\n"), 0);
}

TEST(ClientChild, DISABLED_withoutCore)
{
    DebugCapture capture;
    QORCLIENT::IQORClient* client = QORCLIENT::getQORClient();
    EXPECT_THAT(loggedMessages(capture),
                ElementsAre("QORClient ctor",
                            std::string("open qor key ") + kKey + " failed, error 2, try 32 bits",
                            std::string("open qor key ") + kKey + " failed, error 2",
                            "read qor registry for path failed", "get IQORClient OK"));
    void* untouched = &capture;
    for (const CLSID& clsid : {CLSID_DruxClient2, CLSID_DruxClientUserid, kUnknownClass}) {
        void* object = untouched;
        EXPECT_EQ(client->CreateInstance(clsid, IID_IDruxClient2, &object), E_FAIL);
        EXPECT_EQ(object, untouched);
    }
    client->Release();
}

TEST_F(ClientProcess, CoreInstalledIn32BitViewIsLoadedFromThere)
{
    EXPECT_EQ(runChild("DISABLED_from32BitView",
                       CoreScenario::registryText(missing, CoreScenario::installFolder())),
              0);
}

TEST(ClientChild, DISABLED_from32BitView)
{
    DebugCapture capture;
    QORCLIENT::IQORClient* client = QORCLIENT::getQORClient();
    char library[MAX_PATH] = {};
    PathCanonicalizeA(library, (CoreScenario::installFolder() + "\\x64\\qorcore.dll").c_str());
    EXPECT_THAT(loggedMessages(capture),
                ElementsAre("QORClient ctor",
                            "file '" + environment(kMissingVariable) + "' not exist, try 32 bits",
                            StartsWith(std::string("load ") + library + " at "),
                            "create instance ret 0x00000000", "create IQORCore from qorcore OK",
                            "get IQORClient OK"));
    EXPECT_EQ(createProductService(client), S_OK);
    client->Release();
}

TEST_F(ClientProcess, CoreObjectFailuresLeaveNoCore)
{
    const std::string regText = CoreScenario::registryText(CoreScenario::installFolder());
    EXPECT_EQ(
        runChild("DISABLED_coreNotCreated", regText, R"({"loader": {"createCore": "0x80004005"}})"),
        0);
    EXPECT_EQ(
        runChild("DISABLED_nullClassObject", regText, R"({"loader": {"nullClassObject": true}})"),
        0);
}

TEST(ClientChild, DISABLED_coreNotCreated)
{
    DebugCapture capture;
    QORCLIENT::IQORClient* client = QORCLIENT::getQORClient();
    EXPECT_THAT(loggedMessages(capture),
                ElementsAre("QORClient ctor", StartsWith("load "), "create instance ret 0x80004005",
                            "create core instance failed, ret 0x00000000", "get IQORClient OK"));
    EXPECT_EQ(createProductService(client), E_FAIL);
    client->Release();
}

TEST(ClientChild, DISABLED_nullClassObject)
{
    DebugCapture capture;
    QORCLIENT::IQORClient* client = QORCLIENT::getQORClient();
    // Success without an object: the client says so, yet has no core.
    EXPECT_THAT(loggedMessages(capture),
                ElementsAre("QORClient ctor", StartsWith("load "),
                            "create IQORCore from qorcore OK", "get IQORClient OK"));
    EXPECT_EQ(createProductService(client), E_FAIL);
    client->Release();
}

} // namespace
