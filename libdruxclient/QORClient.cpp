#include "QORClient.h"

#include <libdruxclient/CriticalSection.h>
#include "ModuleRegistry.h"
#include "RegistryPath.h"
#include "ClientLog.h"

#include <qor/IQORCore.h>
#include <qor/QorIds.h>

#include <atomic>

namespace QORCLIENT {
namespace {

const char* const kQorKey = "SOFTWARE\\Trevik\\QOR\\2.0";
const char* const kQorValue = "Path";
const char* const kCoreSuffix = "\\x64\\qorcore.dll";

// Built during static initialisation; guards the one creation of the client.
CriticalSection g_clientCreation;
std::atomic<QORClient*> g_client{nullptr};

} // namespace

QORClient::QORClient()
    : m_count(0)
{
    // The first line completes the logger before this client: the client is
    // therefore destroyed first at unload, while the log still works.
    clientLog()->log("QORClient ctor");
    createCore();
}

QORClient::~QORClient()
{
    m_core.reset();
    qorlog::debugLog("QORClient dtor");
}

bool QORClient::createCore()
{
    std::string directory;
    if (!readRegistryPath(HKEY_LOCAL_MACHINE, kQorKey, kQorValue, directory)) {
        clientLog()->log("read qor registry for path failed");
        return false;
    }
    const std::string library = directory + kCoreSuffix;
    if (!ModuleRegistry::processWide().createObjectFromDll(
            library, CLSID_QORCore, IID_IQORCore, reinterpret_cast<void**>(m_core.out()))) {
        clientLog()->log("create core instance failed, ret 0x%08x", 0u);
        return false;
    }
    clientLog()->log("create IQORCore from qorcore OK");
    return true;
}

ULONG QORClient::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_count));
}

ULONG QORClient::Release()
{
    return static_cast<ULONG>(InterlockedDecrement(&m_count));
}

HRESULT QORClient::CreateInstance(const GUID& clsid, const GUID& iid, void** object)
{
    if (!m_core)
        return E_FAIL;
    return m_core->CreateInstance(clsid, iid, object);
}

IQORClient* getQORClient()
{
    QORClient* client = g_client.load(std::memory_order_acquire);
    if (!client) {
        ScopedLock lock(g_clientCreation);
        client = g_client.load(std::memory_order_relaxed);
        if (!client) {
            static QORClient instance;
            client = &instance;
            g_client.store(client, std::memory_order_release);
        }
    }
    client->AddRef();
    clientLog()->log("get IQORClient OK");
    return client;
}

} // namespace QORCLIENT
