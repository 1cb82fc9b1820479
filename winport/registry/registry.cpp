#include <windows.h>

#include "registry/RegFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <set>

// An open key: the registry as it was read when the key was opened, and the
// key's full path in it.
struct winport_hkey
{
    std::shared_ptr<const winport::RegFile> file;
    std::string path;
};

namespace {

std::mutex g_keysMutex;
std::set<HKEY> g_openKeys; // handles RegOpenKeyExA gave out and nobody closed

const char* rootName(HKEY key)
{
    if (key == HKEY_LOCAL_MACHINE)
        return "HKEY_LOCAL_MACHINE";
    if (key == HKEY_CURRENT_USER)
        return "HKEY_CURRENT_USER";
    if (key == HKEY_CLASSES_ROOT)
        return "HKEY_CLASSES_ROOT";
    if (key == HKEY_USERS)
        return "HKEY_USERS";
    return nullptr;
}

bool readWholeFile(const char* name, std::string& content, int& error)
{
    const int fd = open(name, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return false;
    }
    char chunk[65536];
    ssize_t n;
    while ((n = read(fd, chunk, sizeof chunk)) > 0)
        content.append(chunk, static_cast<size_t>(n));
    error = n < 0 ? errno : 0;
    close(fd);
    return n == 0;
}

// The registry as the file that WINPORT_REGISTRY names holds it now; an empty
// one when there is no such file.
LSTATUS loadRegistry(std::shared_ptr<const winport::RegFile>& registry)
{
    auto file = std::make_shared<winport::RegFile>();
    registry = file;
    const char* name = std::getenv("WINPORT_REGISTRY");
    std::string content;
    int error = 0;
    if (!name || !*name)
        return ERROR_SUCCESS;
    if (!readWholeFile(name, content, error))
        return error == ENOENT || error == ENOTDIR ? ERROR_SUCCESS : ERROR_CANTREAD;
    if (file->parse(content))
        return ERROR_SUCCESS;
    const std::string why = std::string("winport: registry file ") + name + " line " +
                            std::to_string(file->error().line) + ": " + file->error().reason + "\n";
    OutputDebugStringA(why.c_str());
    return ERROR_BADDB;
}

// Where `key` stands: a root read afresh now, or an open key's snapshot.
LSTATUS locate(HKEY key, std::shared_ptr<const winport::RegFile>& file, std::string& path)
{
    if (const char* root = rootName(key)) {
        path = root;
        return loadRegistry(file);
    }
    std::lock_guard<std::mutex> lock(g_keysMutex);
    if (g_openKeys.count(key) == 0)
        return ERROR_INVALID_HANDLE;
    file = key->file;
    path = key->path;
    return ERROR_SUCCESS;
}

bool equalsIgnoringCase(const std::string& a, size_t at, size_t length, const char* b)
{
    return length == std::strlen(b) && strncasecmp(a.c_str() + at, b, length) == 0;
}

// The 32-bit view: HKLM\SOFTWARE\X lives at HKLM\SOFTWARE\WOW6432Node\X.
std::string redirected32(const std::string& path)
{
    const size_t software = path.find('\\');
    if (software == std::string::npos ||
        !equalsIgnoringCase(path, 0, software, "HKEY_LOCAL_MACHINE"))
        return path;
    const size_t below = std::min(path.find('\\', software + 1), path.size());
    if (!equalsIgnoringCase(path, software + 1, below - software - 1, "SOFTWARE"))
        return path;
    const size_t next = std::min(path.find('\\', below + 1), path.size());
    if (below < path.size() && equalsIgnoringCase(path, below + 1, next - below - 1, "WOW6432Node"))
        return path;
    return path.substr(0, below) + "\\WOW6432Node" + path.substr(below);
}

} // namespace

WINPORT_API LSTATUS WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM samDesired,
                                         PHKEY phkResult)
{
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    if (lpSubKey && *lpSubKey == '\\')
        return ERROR_BAD_PATHNAME;
    std::shared_ptr<const winport::RegFile> file;
    std::string path;
    if (LSTATUS status = locate(hKey, file, path))
        return status;

    std::string subKey = lpSubKey ? lpSubKey : "";
    while (!subKey.empty() && subKey.back() == '\\')
        subKey.pop_back();
    if (!subKey.empty())
        path += "\\" + subKey;
    if (samDesired & KEY_WOW64_32KEY)
        path = redirected32(path);
    if (!file->hasKey(path) && path.find('\\') != std::string::npos)
        return ERROR_FILE_NOT_FOUND;

    HKEY key = new winport_hkey{file, path};
    std::lock_guard<std::mutex> lock(g_keysMutex);
    g_openKeys.insert(key);
    *phkResult = key;
    return ERROR_SUCCESS;
}

WINPORT_API LSTATUS WINAPI RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved,
                                            LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData)
{
    if (lpReserved || (lpData && !lpcbData))
        return ERROR_INVALID_PARAMETER;
    std::shared_ptr<const winport::RegFile> file;
    std::string path;
    if (LSTATUS status = locate(hKey, file, path))
        return status;
    const winport::RegValue* value = file->value(path, lpValueName ? lpValueName : "");
    if (!value)
        return ERROR_FILE_NOT_FOUND;

    if (lpType)
        *lpType = value->type;
    if (!lpcbData)
        return ERROR_SUCCESS;
    const DWORD size = static_cast<DWORD>(value->data.size());
    const DWORD offered = *lpcbData;
    *lpcbData = size;
    if (!lpData)
        return ERROR_SUCCESS;
    if (offered < size)
        return ERROR_MORE_DATA;
    // Binary data is copied as stored; a string's terminator is part of its data.
    std::memcpy(lpData, value->data.data(), size); // NOLINT(bugprone-not-null-terminated-result)
    return ERROR_SUCCESS;
}

WINPORT_API LSTATUS WINAPI RegCloseKey(HKEY hKey)
{
    if (rootName(hKey))
        return ERROR_SUCCESS;
    std::lock_guard<std::mutex> lock(g_keysMutex);
    if (g_openKeys.erase(hKey) == 0)
        return ERROR_INVALID_HANDLE;
    delete hKey;
    return ERROR_SUCCESS;
}
