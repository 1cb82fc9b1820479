#include "RegistryPath.h"

#include "ClientLog.h"

#include <io.h>

namespace QORCLIENT {
namespace {

const REGSAM kNativeView = KEY_READ;
const REGSAM k32BitView = KEY_READ | KEY_WOW64_32KEY;

// One attempt in one registry view. The first view's failures say that the
// 32-bit view comes next; the last view's failures are final.
bool readInView(HKEY root, const std::string& subKey, const std::string& valueName, REGSAM view,
                std::string& path)
{
    const bool last = view == k32BitView;
    const char* retry = last ? "" : ", try 32 bits";

    HKEY key = nullptr;
    LONG error = RegOpenKeyExA(root, subKey.c_str(), 0, view, &key);
    if (error != ERROR_SUCCESS) {
        clientLog()->log("open qor key %s failed, error %d%s", subKey.c_str(),
                         static_cast<int>(error), retry);
        return false;
    }

    // 261 bytes, 260 offered: the text stays terminated whatever was stored.
    char value[MAX_PATH + 1] = {};
    DWORD size = MAX_PATH;
    bool found = false;
    error = RegQueryValueExA(key, valueName.c_str(), nullptr, nullptr,
                             reinterpret_cast<LPBYTE>(value), &size);
    if (error != ERROR_SUCCESS) {
        clientLog()->log("read qor key %s failed, error %d%s", valueName.c_str(),
                         static_cast<int>(error), retry);
    } else if (_access(value, 0) == 0) {
        path = value;
        found = true;
    } else {
        clientLog()->log("file '%s' not exist, %s", value, last ? "fatal error" : "try 32 bits");
    }
    RegCloseKey(key);
    return found;
}

} // namespace

bool readRegistryPath(HKEY root, const std::string& subKey, const std::string& valueName,
                      std::string& path)
{
    return readInView(root, subKey, valueName, kNativeView, path) ||
           readInView(root, subKey, valueName, k32BitView, path);
}

} // namespace QORCLIENT
