// The texts of the platform's reports as it may send them: any UTF-16 units,
// unpaired surrogates and embedded nulls included, or no text at all. The
// proxy converts them to the ANSI code page and the sink prints them;
// qorlog's conversion is driven on its own too. Input: a byte of choices (the
// null texts, the stage, an error), a byte for the result and the percentage,
// a byte that splits the rest, then the units, two bytes each.
#include "ClientLogOffDisk.h"

#include <KaNotify.h>
#include <KaNotifyProxy.h>
#include <libdruxclient/qorlog.h>

#include <oleauto.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <vector>

namespace {

// Non-null for a text, and at most three bytes a unit (the replacement
// character stands for a surrogate without its pair).
void convertAlone(BSTR text, UINT codePage)
{
    char* converted = qorlog::toMultiByte(text, codePage);
    if (!converted || std::strlen(converted) > 3 * std::wcslen(text))
        std::abort();
    delete[] converted;
}

} // namespace

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
    const uint8_t choices = data[0];
    const uint8_t number = data[1];
    std::vector<OLECHAR> units;
    for (size_t at = 3; at + 1 < size; at += 2)
        units.push_back(static_cast<OLECHAR>(data[at] | data[at + 1] << 8));
    const UINT split = static_cast<UINT>(units.size() * data[2] / 255);
    BSTR first = choices & 1 ? nullptr : SysAllocStringLen(units.data(), split);
    BSTR second = choices & 2 ? nullptr : SysAllocStringLen(units.data() + split,
                                                             static_cast<UINT>(units.size() - split));
    for (BSTR text : {first, second}) {
        if (text) {
            convertAlone(text, CP_ACP);
            convertAlone(text, CP_UTF8);
        }
    }

    const unsigned int error = choices & 0x80 ? number : 0;
    const int stage = ((choices >> 2) & 7) - 1; // -1 to 6: the four stages and beyond
    auto* proxy = new DRUX::KaNotifyProxy(new KaNotify(true, nullptr));
    proxy->NotifyStage(error, first, second, 64, stage, number % 101);
    proxy->NotifyResult(error, first, second, 32, (number & 0x1F) - 2);
    proxy->Release();
    SysFreeString(first);
    SysFreeString(second);
    return 0;
}
