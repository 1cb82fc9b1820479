#include "KaNotifyProxy.h"

#include "ClientLog.h"
#include "ClientText.h"

#include <stdio.h>

#include <exception>

namespace DRUX {
namespace {

// The platform calls a proxy on threads of its own until it releases it, and
// the host may unload the plug-in meanwhile; a module cannot unload itself
// safely from the proxy's last call either. So the first proxy pins this
// module for the rest of the process: the code the platform calls stays.
void pinThisModule()
{
    static const bool pinned = [] {
        HMODULE module = nullptr;
        return GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                      GET_MODULE_HANDLE_EX_FLAG_PIN,
                                  reinterpret_cast<LPCSTR>(&pinThisModule), &module) != FALSE;
    }();
    static_cast<void>(pinned);
}

void reportDropped(const char* call, const char* what) noexcept
{
    char line[256];
    snprintf(line, sizeof line, "KaNotifyProxy %s dropped: %s\n", call, what);
    OutputDebugStringA(line);
}

// Runs one step of a platform call; what it throws ends there, with a line
// to the debugger naming the call.
template <class Step>
void withoutEscape(const char* call, Step step) noexcept
{
    try {
        step();
    } catch (const std::exception& thrown) {
        reportDropped(call, thrown.what());
    } catch (...) {
        reportDropped(call, "an unknown exception");
    }
}

} // namespace

KaNotifyProxy::KaNotifyProxy(DruxNotify* sink)
    : target(sink)
{
    pinThisModule();
}

KaNotifyProxy::~KaNotifyProxy()
{
    if (target)
        withoutEscape("Release", [this] { target->release(); });
    target = nullptr;
}

// A text that cannot be converted for lack of memory reaches the sink as a
// null text, like a null BSTR: the report itself is never dropped.
HRESULT KaNotifyProxy::NotifyResult(unsigned int error, BSTR text1, BSTR text2, int bits,
                                    int result) noexcept
{
    if (!target)
        return E_FAIL;
    withoutEscape("NotifyResult", [&] {
        const AnsiText first(text1);
        const AnsiText second(text2);
        target->notifyResult(error, first.get(), second.get(), bits, result);
    });
    return S_OK;
}

HRESULT KaNotifyProxy::NotifyStage(unsigned int error, BSTR text1, BSTR text2, int bits, int stage,
                                   int percent) noexcept
{
    if (!target)
        return E_FAIL;
    withoutEscape("NotifyStage", [&] {
        const AnsiText first(text1);
        const AnsiText second(text2);
        target->notifyStage(error, first.get(), second.get(), bits, stage, percent);
    });
    return S_OK;
}

HRESULT KaNotifyProxy::Release() noexcept
{
    withoutEscape("Release", [] { clientLog()->log("KaNotifyProxy dtor"); });
    delete this;
    return S_OK;
}

} // namespace DRUX
