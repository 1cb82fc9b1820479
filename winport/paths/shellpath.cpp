#include <windows.h>

#include "paths/PathText.h"

#include <cstring>

WINPORT_API BOOL WINAPI PathCanonicalizeA(LPSTR pszBuf, LPCSTR pszPath)
{
    if (pszBuf)
        *pszBuf = '\0';
    if (!pszBuf || !pszPath) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // The caller's buffer is MAX_PATH bytes, and the result is never longer
    // than the path (a naked drive "X:" grows by one, to "X:\").
    if (std::strlen(pszPath) >= MAX_PATH) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return FALSE;
    }
    std::string canonical = winport::parsePath(pszPath).join();
    std::memcpy(pszBuf, canonical.c_str(), canonical.size() + 1);
    return TRUE;
}

WINPORT_API BOOL WINAPI PathRemoveFileSpecA(LPSTR pszPath)
{
    if (!pszPath)
        return FALSE;
    // Skip the root ("\", "\\" or "X:\"); what follows the last separator goes,
    // with that separator unless it belongs to the root.
    char* p = pszPath;
    if (*p == '\\' || *p == '/')
        ++p;
    if (*p == '\\' || *p == '/')
        ++p;
    char* cut = p;
    for (; *p; ++p) {
        if (*p == '\\' || *p == '/') {
            cut = p;
        } else if (*p == ':') {
            cut = p + 1;
            if (*cut == '\\' || *cut == '/')
                cut = ++p + 1;
        }
    }
    if (!*cut)
        return FALSE;
    *cut = '\0';
    return TRUE;
}
