#pragma once
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

class QORClient final : public IQORClient
{
public:
    QORClient();
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
};

// Never null; adds one reference that the caller releases.
IQORClient* getQORClient();

} // namespace QORCLIENT
