#pragma once
// The logic that the product and user flavours of the update client share;
// each flavour passes its own service interface, record type and names.
#include "ClientLog.h"
#include "ClientText.h"
#include <libdruxclient/ComPtr.h>
#include <libdruxclient/DruxNotify.h>
#include "KaNotifyProxy.h"
#include "QORClient.h"
#include "UpdateList.h"

#include <qor/DruxCodes.h>

#include <string>
#include <vector>

namespace DRUX {
namespace detail {

inline bool validBits(unsigned int bits)
{
    return bits == 32 || bits == 64;
}

// The client's own name for its log lines ("DruxClient2") and the platform
// interface's ("IDruxClient2").
struct Flavour
{
    const char* client;
    const char* service;
};

template <class Service>
Service* createService(const Flavour& flavour, REFCLSID clsid, REFIID iid)
{
    clientLog()->log("%s ctor", flavour.client);
    const QORCLIENT::ComPtr<QORCLIENT::IQORClient> qor(QORCLIENT::getQORClient());
    Service* service = nullptr;
    const HRESULT status = qor->CreateInstance(clsid, iid, reinterpret_cast<void**>(&service));
    if (FAILED(status)) {
        clientLog()->log("create %s failed, ret 0x%08x", flavour.service,
                         static_cast<unsigned>(status));
        return nullptr;
    }
    clientLog()->log("create %s from qorcore OK", flavour.service);
    return service;
}

template <class Service>
void releaseService(const Flavour& flavour, QORCLIENT::ComPtr<Service>& service)
{
    service.reset();
    qorlog::debugLog("%s dtor", flavour.client);
}

// The guards of a check; kOk when the check may go to the platform.
inline int checkGuard(bool connected, const unsigned int* hasUpdate, const std::string& appname,
                      unsigned int bits)
{
    if (!connected)
        return DRUXCODE::kNoService;
    if (!hasUpdate)
        return DRUXCODE::kBadArgument;
    if (!validBits(bits) || appname.empty())
        return DRUXCODE::kNotStarted;
    return DRUXCODE::kOk;
}

// One check through `ask(code, hasUpdate, reason, list)`, the flavour's
// platform call. The list is emptied before the platform is asked.
template <class Record, class Ask>
int runCheck(unsigned int* hasUpdate, std::string& reason, std::vector<Record>& list, Ask ask)
{
    list.clear();
    int code = DRUXCODE::kNoPlatformCode;
    Bstr reasonText;
    Bstr listText;
    if (ask(&code, hasUpdate, reasonText.out(), listText.out()) != S_OK)
        return code;
    if (*hasUpdate) {
        const AnsiText text(listText.get());
        if (text)
            code = parseUpdateList(text.get(), list);
    } else {
        const AnsiText text(reasonText.get());
        reason = text ? text.get() : "";
    }
    return code;
}

} // namespace detail
} // namespace DRUX
