// The platform's reports with any numbers and texts, through the notification
// proxy into the plug-in's sink: every report is answered with success, only
// regular stage reports reach the receiver, and the release at the end ends
// proxy and sink (the leak checker sees the rest).
#include "ClientLogOffDisk.h"

#include "DRUXClient/IDRUXNotifyInf.h"
#include "DRUXClient/KaNotify.h"

#include <libdruxclient/KaNotifyProxy.h>

#include <fuzzer/FuzzedDataProvider.h>

#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {
class CountingReceiver : public IDRUXNotifyInf
{
public:
    ~CountingReceiver() override { endNotifications(); }
    void notifyProgress(int, int) override { ++calls; }
    int calls = 0;
};

// A text as the platform may send it: none, or any units (on POSIX a unit is
// 32 bits wide, so values past Unicode come too).
BSTR platformText(FuzzedDataProvider& input)
{
    if (input.ConsumeBool())
        return nullptr;
    std::vector<WCHAR> units(input.ConsumeIntegralInRange<size_t>(0, 64));
    for (WCHAR& unit : units)
        unit = static_cast<WCHAR>(input.ConsumeIntegral<uint32_t>());
    return SysAllocStringLen(units.data(), static_cast<UINT>(units.size()));
}

// Mostly regular reports, so that the receiver's side is reached too.
unsigned int errorCode(FuzzedDataProvider& input)
{
    return input.ConsumeIntegralInRange(0, 3) == 0 ? input.ConsumeIntegral<unsigned int>() : 0;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    keepClientLogOffDisk();
    // The sink prints a line per report; the fuzzer's own output is on stderr.
    if (!std::freopen("/dev/null", "w", stdout))
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    CountingReceiver receiver;
    const bool attached = input.ConsumeBool();
    auto* proxy = new DRUX::KaNotifyProxy(new KaNotify(true, attached ? &receiver : nullptr));
    int forwarded = 0;
    while (input.remaining_bytes() > 0) {
        const bool stage = input.ConsumeBool();
        const unsigned int error = errorCode(input);
        const BSTR text1 = platformText(input);
        const BSTR text2 = platformText(input);
        const int bits = input.ConsumeIntegral<int>();
        const int value = input.ConsumeIntegral<int>();
        HRESULT status;
        if (stage) {
            status =
                proxy->NotifyStage(error, text1, text2, bits, value, input.ConsumeIntegral<int>());
            forwarded += error == 0 ? 1 : 0;
        } else {
            status = proxy->NotifyResult(error, text1, text2, bits, value);
        }
        SysFreeString(text1);
        SysFreeString(text2);
        if (status != S_OK)
            std::abort();
    }
    if (proxy->Release() != S_OK)
        std::abort();
    if (receiver.calls != (attached ? forwarded : 0))
        std::abort();
    return 0;
}
