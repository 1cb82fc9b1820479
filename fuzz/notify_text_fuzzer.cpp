// The platform's report texts as it may send them: any UTF-16 units, lone
// surrogates and nulls among them, or no text. The proxy converts them to the
// ANSI code page and the sink prints them; qorlog's conversion runs alone too.
// Input: a byte of choices (null texts, stage, error), one for the numbers,
// one where the second text starts, then the units, two bytes each.
#include "ClientLogOffDisk.h"

#include <KaNotify.h>
#include <KaNotifyProxy.h>
#include <libdruxclient/qorlog.h>

#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    keepClientLogOffDisk();
    // The sink prints a line for each report; here they are not wanted.
    return std::freopen("/dev/null", "w", stdout) ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    std::vector<OLECHAR> units;
    for (size_t at = 3; at + 1 < size; at += 2)
        units.push_back(static_cast<OLECHAR>(data[at] | data[at + 1] << 8));
    const UINT split = static_cast<UINT>(units.size() * data[2] / 255);
    BSTR first = data[0] & 1 ? nullptr : SysAllocStringLen(units.data(), split);
    BSTR second = data[0] & 2 ? nullptr
                              : SysAllocStringLen(units.data() + split,
                                                  static_cast<UINT>(units.size() - split));
    // Each unit gives at most three bytes (a lone surrogate, the replacement character).
    for (BSTR text : {first, second}) {
        for (UINT codePage : {CP_ACP, CP_UTF8}) {
            char* converted = text ? qorlog::toMultiByte(text, codePage) : nullptr;
            if (text && (!converted || std::strlen(converted) > 3 * std::wcslen(text)))
                std::abort();
            delete[] converted;
        }
    }
    const unsigned int error = data[0] & 0x80 ? data[1] : 0;
    const int stage = ((data[0] >> 2) & 7) - 1; // the four stages and some beyond
    auto* proxy = new DRUX::KaNotifyProxy(new KaNotify(true, nullptr));
    proxy->NotifyStage(error, first, second, 64, stage, data[1] % 101);
    proxy->NotifyResult(error, first, second, 32, (data[1] & 0x1F) - 2);
    proxy->Release();
    SysFreeString(first);
    SysFreeString(second);
    return 0;
}
