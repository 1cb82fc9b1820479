#include <windows.h>

#include "text/Utf8.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <cwchar>
#include <string>

// Here a WCHAR holds a whole code point, so no surrogate pairs are written.
static_assert(sizeof(WCHAR) == 4, "winport's WCHAR is a 32-bit wchar_t");

namespace {

// The ANSI code page of this system is UTF-8.
bool isUtf8CodePage(UINT codePage)
{
    return codePage == CP_ACP || codePage == CP_THREAD_ACP || codePage == CP_UTF8;
}

int fail(DWORD error)
{
    SetLastError(error);
    return 0;
}

// Hands the converted text to the caller: its length when `capacity` is 0,
// else a copy, or as much as fits and ERROR_INSUFFICIENT_BUFFER.
template <typename Unit>
int deliver(const std::basic_string<Unit>& converted, Unit* out, int capacity)
{
    if (converted.size() > INT_MAX)
        return fail(ERROR_INVALID_PARAMETER);
    const int length = static_cast<int>(converted.size());
    if (capacity == 0)
        return length;
    std::copy_n(converted.begin(), std::min(length, capacity), out);
    return length <= capacity ? length : fail(ERROR_INSUFFICIENT_BUFFER);
}

// A code point from the wide text at `i`, joining a surrogate pair written
// in two units; `i` moves past what was read.
char32_t nextWide(const WCHAR* text, size_t length, size_t& i)
{
    char32_t c = static_cast<char32_t>(text[i++]);
    if (c >= 0xD800 && c <= 0xDBFF && i < length) {
        const char32_t low = static_cast<char32_t>(text[i]);
        if (low >= 0xDC00 && low <= 0xDFFF) {
            ++i;
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        }
    }
    return c;
}

} // namespace

WINPORT_API int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr,
                                           int cbMultiByte, LPWSTR lpWideCharStr, int cchWideChar)
{
    if (!lpMultiByteStr || cbMultiByte == 0 || cchWideChar < 0 ||
        (cchWideChar > 0 && !lpWideCharStr) ||
        static_cast<const void*>(lpMultiByteStr) == static_cast<const void*>(lpWideCharStr) ||
        !isUtf8CodePage(CodePage))
        return fail(ERROR_INVALID_PARAMETER);
    const DWORD allowed = MB_ERR_INVALID_CHARS | (CodePage == CP_UTF8 ? 0 : MB_PRECOMPOSED);
    if (dwFlags & ~allowed)
        return fail(ERROR_INVALID_FLAGS);

    const size_t length =
        cbMultiByte < 0 ? std::strlen(lpMultiByteStr) + 1 : static_cast<size_t>(cbMultiByte);
    const auto* bytes = reinterpret_cast<const unsigned char*>(lpMultiByteStr);
    std::wstring converted;
    converted.reserve(length);
    for (size_t i = 0; i < length;) {
        char32_t c;
        bool valid;
        i += winport::decodeUtf8(bytes + i, length - i, c, valid);
        if (!valid && (dwFlags & MB_ERR_INVALID_CHARS))
            return fail(ERROR_NO_UNICODE_TRANSLATION);
        converted.push_back(static_cast<WCHAR>(c));
    }
    return deliver(converted, lpWideCharStr, cchWideChar);
}

WINPORT_API int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr,
                                           int cchWideChar, LPSTR lpMultiByteStr, int cbMultiByte,
                                           LPCSTR lpDefaultChar, LPBOOL lpUsedDefaultChar)
{
    if (!lpWideCharStr || cchWideChar == 0 || cbMultiByte < 0 ||
        (cbMultiByte > 0 && !lpMultiByteStr) ||
        static_cast<const void*>(lpWideCharStr) == static_cast<const void*>(lpMultiByteStr) ||
        !isUtf8CodePage(CodePage))
        return fail(ERROR_INVALID_PARAMETER);
    // UTF-8 has no default character: asked for by name, it refuses one.
    if (CodePage == CP_UTF8) {
        if (dwFlags & ~static_cast<DWORD>(WC_ERR_INVALID_CHARS))
            return fail(ERROR_INVALID_FLAGS);
        if (lpDefaultChar || lpUsedDefaultChar)
            return fail(ERROR_INVALID_PARAMETER);
    }

    const size_t length =
        cchWideChar < 0 ? std::wcslen(lpWideCharStr) + 1 : static_cast<size_t>(cchWideChar);
    std::string converted;
    converted.reserve(length * 3);
    BOOL replaced = FALSE;
    for (size_t i = 0; i < length;) {
        char32_t c = nextWide(lpWideCharStr, length, i);
        if (!winport::isScalarValue(c)) {
            if (dwFlags & WC_ERR_INVALID_CHARS)
                return fail(ERROR_NO_UNICODE_TRANSLATION);
            c = winport::kReplacementCharacter;
            replaced = TRUE;
        }
        winport::appendUtf8(converted, c);
    }
    if (lpUsedDefaultChar)
        *lpUsedDefaultChar = replaced;
    return deliver(converted, lpMultiByteStr, cbMultiByte);
}
