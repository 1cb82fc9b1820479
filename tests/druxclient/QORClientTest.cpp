// The process-wide platform client, made once per process even when the
// first calls race, so the case runs in a child process of its own: the
// parent lays out the registry and the scenario, the child (a disabled test
// run by name) checks what happened. The fault matrix has what a host sees
// when the registry or the core is broken.
#include "ChildProcess.h"
#include "CoreScenario.h"
#include "LogLines.h"
#include "RegistryFixture.h"
#include "TempDir.h"

#include <QORClient.h>

#include <qor/IDruxClient2.h>
#include <qor/QorIds.h>

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <thread>

namespace {

TEST(ClientProcess, ConcurrentFirstCallsMakeOneClient)
{
    TempDir folder;
    RegistryFixture registry;
    registry.install(CoreScenario::registryText(CoreScenario::installFolder()));
    std::ofstream(folder.file("scenario.json")) << "{}";
    ChildProcess child(ChildProcess::selfPath(),
                       ChildProcess::testArguments("ClientChild.DISABLED_concurrentFirstCalls"),
                       {{"QORCORE_SCENARIO", folder.file("scenario.json")}});
    ASSERT_TRUE(child.started());
    EXPECT_EQ(child.wait(60000), 0);
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
    IDruxClient2* service = nullptr;
    EXPECT_EQ(client->CreateInstance(CLSID_DruxClient2, IID_IDruxClient2,
                                     reinterpret_cast<void**>(&service)),
              S_OK);
    ASSERT_NE(service, nullptr);
    service->Release();
}

// With the platform's key in neither view: the locator's lines in their order,
// and a client whose every CreateInstance fails and leaves the caller's pointer be.
TEST(ClientProcess, WithoutACoreEveryCreateInstanceFails)
{
    RegistryFixture registry;
    registry.install("REGEDIT4\n\n");
    ChildProcess child(ChildProcess::selfPath(),
                       ChildProcess::testArguments("ClientChild.DISABLED_withoutACore"));
    ASSERT_TRUE(child.started());
    EXPECT_EQ(child.wait(60000), 0);
}

TEST(ClientChild, DISABLED_withoutACore)
{
    DebugCapture capture;
    QORCLIENT::IQORClient* client = QORCLIENT::getQORClient();
    const std::vector<std::string> expected = {
        "QORClient ctor",
        "open qor key SOFTWARE\\Trevik\\QOR\\2.0 failed, error 2, try 32 bits",
        "open qor key SOFTWARE\\Trevik\\QOR\\2.0 failed, error 2",
        "read qor registry for path failed",
        "get IQORClient OK",
    };
    EXPECT_EQ(loggedMessages(capture), expected);
    for (const GUID& clsid : {CLSID_QORCore, CLSID_DruxClient2, CLSID_DruxClientUserid, GUID{}}) {
        void* object = &capture;
        EXPECT_EQ(client->CreateInstance(clsid, IID_IDruxClient2, &object), E_FAIL);
        EXPECT_EQ(object, &capture);
    }
    EXPECT_EQ(loggedMessages(capture).size(), expected.size());
}

} // namespace
