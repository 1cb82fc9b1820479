#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

namespace {

// "\\server\" or "\\server\share": a ".." there climbs no further.
bool atServerShare(const std::string& out)
{
    return out.size() > 2 && out.compare(0, 2, "\\\\") == 0 &&
           std::count(out.begin() + 2, out.end(), '\\') == 1;
}

// A ".." met where `out` ends with '\': drops the last segment with the '\'
// before it, but neither a drive's root nor a server's name. Returns how many
// characters of the path it takes: the ".." and, when nothing is left but
// the root "\", the separator after it.
size_t climb(std::string& out, std::string_view rest)
{
    size_t end = out.size() - 1; // the '\' at the end
    const bool segmentBefore =
        end > 0 && out[end - 1] != ':' && !atServerShare(out) && (out[end - 1] != '\\' || end > 1);
    if (segmentBefore)
        --end;
    while (end > 0 && out[end] != '\\')
        --end;
    if (end > 0) {
        out.resize(end);
        return 2;
    }
    out = "\\";
    return std::min<size_t>(3, rest.size());
}

// Windows' reading, which is not a file name's: only '\' separates ('/' is an
// ordinary character, a doubled '\' stays), ".\" goes where a segment starts,
// and ".." after a '\' climbs, whatever follows it.
std::string canonicalText(std::string_view path)
{
    if (path.empty())
        return "\\";
    size_t at = 0;
    if (path[0] == '\\')
        at = 1;
    else if (path.size() >= 2 && path[1] == ':')
        at = path.size() > 2 && path[2] == '\\' ? 3 : 2;
    std::string out(path.substr(0, at));
    while (at < path.size()) {
        const char next = at + 1 < path.size() ? path[at + 1] : '\0';
        const bool segmentStart = at == 0 || path[at - 1] == '\\' || path[at - 1] == ':';
        if (path[at] == '.' && next == '\\' && segmentStart)
            at += 2;
        else if (path[at] == '.' && next == '.' && !out.empty() && out.back() == '\\')
            at += climb(out, path.substr(at));
        else
            out.push_back(path[at++]);
    }
    if (out.size() == 2 && out[1] == ':')
        out.push_back('\\');
    return out;
}

} // namespace

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
    const std::string canonical = canonicalText(pszPath);
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
