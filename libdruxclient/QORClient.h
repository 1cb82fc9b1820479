#pragma once
#include "ProcessEndGate.h"

#include <libdruxclient/ComPtr.h>

#include <windows.h>

struct IQORCore;

namespace QORCLIENT {

// The process-wide platform client: creates platform objects by class id and
// interface id through the core's root object.
class IQORClient
{
public:
    virtual ULONG AddRef() = 0;
    virtual HRESULT CreateInstance(const GUID& clsid, const GUID& iid, void** object) = 0;
    virtual ULONG Release() = 0;

protected:
    ~IQORClient() = default;
};

class ModuleRegistry;

class QORClient final : public IQORClient
{
public:
    // Loads the core through `modules`; both must outlive the client.
    QORClient(ModuleRegistry& modules, const ProcessEndGate& end);
    ~QORClient();
    QORClient(const QORClient&) = delete;
    QORClient& operator=(const QORClient&) = delete;

    ULONG AddRef() override;
    HRESULT CreateInstance(const GUID& clsid, const GUID& iid, void** object) override;
    // Never deletes: the one client lives until the library unloads.
    ULONG Release() override;

private:
    bool createCore();

    LONG volatile m_count;
    ComPtr<IQORCore> m_core;
    ModuleRegistry& m_modules;
    const ProcessEndGate& m_end;
};

// Never null; adds one reference that the caller releases.
IQORClient* getQORClient();

} // namespace QORCLIENT
