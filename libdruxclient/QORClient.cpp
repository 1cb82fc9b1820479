#include "QORClient.h"

#include "ClientLog.h"
#include "ModuleRegistry.h"
#include "ProcessObjects.h"
#include "RegistryPath.h"

#include <qor/IQORCore.h>
#include <qor/QorIds.h>

namespace QORCLIENT {
namespace {

const char* const kQorKey = "SOFTWARE\\Trevik\\QOR\\2.0";
const char* const kQorValue = "Path";
const char* const kCoreSuffix = "\\x64\\qorcore.dll";

} // namespace

QORClient::QORClient(ModuleRegistry& modules, const ProcessEndGate& end)
    : m_count(0)
    , m_modules(modules)
    , m_end(end)
{
    // The logger outlives this client whichever was made first: their owner
    // tears the client down before it.
    clientLog()->log("QORClient ctor");
    createCore();
}

QORClient::~QORClient()
{
    // At process end the core may be detached already: its reference is left
    // to the system, which takes everything back.
    if (m_end.isEnding())
        m_core.detach();
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
    if (!m_modules.createObjectFromDll(library, CLSID_QORCore, IID_IQORCore,
                                       reinterpret_cast<void**>(m_core.out()))) {
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
    QORClient* client = &ProcessObjects::processWide().client();
    client->AddRef();
    clientLog()->log("get IQORClient OK");
    return client;
}

} // namespace QORCLIENT
