// A .reg file of any bytes: the reader either refuses it with a reason or
// answers lookups consistently (a value's key exists, and so do its parents).
#include <winport/registry/RegFile.h>

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {
const char* const kKeys[] = {
    "HKEY_LOCAL_MACHINE",
    "HKEY_LOCAL_MACHINE\\SOFTWARE",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Trevik\\QOR\\2.0",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Trevik\\QOR\\2.0",
    "hkey_local_machine\\software\\trevik\\qor\\2.0",
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    winport::RegFile file;
    if (!file.parse(std::string_view(reinterpret_cast<const char*>(data), size))) {
        if (file.error().reason.empty() || file.error().line < 0)
            std::abort();
        return 0;
    }
    for (const char* key : kKeys) {
        for (const char* name : {"Path", "", "path"}) {
            const winport::RegValue* value = file.value(key, name);
            if (value && !file.hasKey(key))
                std::abort();
        }
        if (file.hasKey(key) && !file.hasKey("HKEY_LOCAL_MACHINE"))
            std::abort();
    }
    return 0;
}
