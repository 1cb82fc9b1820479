// The update list as the platform may send it: any bytes. The parser answers
// 0, 7 or 14, never throws, and on 0 appends one checked record per element
// after what the list held; otherwise the list is left as it was.
#include "ClientLogOffDisk.h"

#include <libdruxclient/DruxClient2.h>
#include <libdruxclient/DruxClientUserid.h>
#include <qor/DruxCodes.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
template <class Client, class Record>
int parseAfterOneRecord(const std::string& json)
{
    std::vector<Record> list(1);
    list[0].appname = "kept";
    const int code = Client::parseUpdateList(json, list);
    if (list[0].appname != "kept")
        std::abort();
    const auto unchecked = [](const Record& record) { return record.canUpdate != 1; };
    if (code == DRUXCODE::kOk) {
        if (list.size() < 2 || std::any_of(list.begin() + 1, list.end(), unchecked))
            std::abort();
    } else if ((code != DRUXCODE::kListEmpty && code != DRUXCODE::kListNotJson) ||
               list.size() != 1) {
        std::abort();
    }
    return code;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    keepClientLogOffDisk();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string json(reinterpret_cast<const char*>(data), size);
    const int product = parseAfterOneRecord<DRUX::DruxClient2, DRUX::DruxUpdateInfo>(json);
    const int user = parseAfterOneRecord<DRUX::DruxClientUserid, DRUX::DruxUpdateInfoUserid>(json);
    // Both flavours read the same format.
    if (product != user)
        std::abort();
    return 0;
}
