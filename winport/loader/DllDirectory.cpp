#include <windows.h>

#include "loader/DllDirectory.h"
#include "text/Utf8.h"

#include <cwchar>
#include <mutex>

namespace {

std::mutex g_mutex;
// Kept as it was given, trailing separator and all. L"" and NULL differ on
// Windows though GetDllDirectoryW reports both as empty: the first takes the
// current folder out of the search, the second restores the default order.
std::wstring g_directory;
bool g_set = false;

} // namespace

namespace winport {

std::optional<std::string> dllDirectory()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!g_set)
        return std::nullopt;
    std::string narrow;
    for (wchar_t c : g_directory)
        appendUtf8(narrow, isScalarValue(static_cast<char32_t>(c)) ? static_cast<char32_t>(c)
                                                                   : kReplacementCharacter);
    return narrow;
}

} // namespace winport

WINPORT_API BOOL WINAPI SetDllDirectoryW(LPCWSTR lpPathName)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_directory = lpPathName ? lpPathName : L"";
    g_set = lpPathName != nullptr;
    return TRUE;
}

// The length without the terminator when the text fits, else the size the
// buffer needs (terminator counted), leaving an empty text in it.
WINPORT_API DWORD WINAPI GetDllDirectoryW(DWORD nBufferLength, LPWSTR lpBuffer)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    const DWORD length = static_cast<DWORD>(g_directory.size());
    if (lpBuffer && nBufferLength > length) {
        std::wmemcpy(lpBuffer, g_directory.c_str(), length + 1);
        return length;
    }
    if (lpBuffer && nBufferLength > 0)
        lpBuffer[0] = L'\0';
    return length + 1;
}
