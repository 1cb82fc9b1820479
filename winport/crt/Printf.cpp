#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// The Windows CRT's ending of a cut text: `count` characters of the full
// text, no terminator; -1, or count when it fit exactly.
template <class Char>
int finishCut(Char* buffer, size_t count, const Char* full, size_t length)
{
    std::memcpy(buffer, full, count * sizeof(Char));
    return length == count ? static_cast<int>(count) : -1;
}

// Windows' wide dialect into glibc's: %s and %c take wide arguments unless
// written %hs, %hc, %S or %C (narrow); %ws and %wc are wide too.
std::wstring toGlibcWideFormat(const wchar_t* format)
{
    std::wstring out;
    for (const wchar_t* p = format; *p != L'\0'; ++p) {
        out += *p;
        if (*p != L'%')
            continue;
        ++p;
        while (*p != L'\0' && std::wcschr(L"-+ #0123456789.*", *p) != nullptr)
            out += *p++;
        if ((*p == L'h' || *p == L'w') && (p[1] == L's' || p[1] == L'c')) {
            out += *p == L'w' ? L"l" : L"";
            out += p[1];
            ++p;
        } else if (*p == L's' || *p == L'c') {
            out += L'l';
            out += *p;
        } else if (*p == L'S' || *p == L'C') {
            out += static_cast<wchar_t>(*p - L'S' + L's');
        } else if (*p != L'\0') {
            out += *p;
        } else {
            break;
        }
    }
    return out;
}

} // namespace

WINPORT_API int _vsnprintf(char* buffer, size_t count, const char* format, va_list argptr)
{
    va_list again;
    va_copy(again, argptr);
    const int length = vsnprintf(buffer, count, format, argptr);
    int result = length;
    if (length >= 0 && static_cast<size_t>(length) >= count) {
        // vsnprintf put a terminator where the last character belongs.
        std::vector<char> full(static_cast<size_t>(length) + 1);
        vsnprintf(full.data(), full.size(), format, again);
        result = finishCut(buffer, count, full.data(), static_cast<size_t>(length));
    }
    va_end(again);
    return result;
}

WINPORT_API int _snprintf(char* buffer, size_t count, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const int result = _vsnprintf(buffer, count, format, args);
    va_end(args);
    return result;
}

WINPORT_API int _vsnwprintf(wchar_t* buffer, size_t count, const wchar_t* format, va_list argptr)
{
    const std::wstring glibcFormat = toGlibcWideFormat(format);
    // vswprintf says only "did not fit", never how long the text is; a
    // memory stream holds all of it.
    wchar_t* full = nullptr;
    size_t size = 0;
    FILE* stream = open_wmemstream(&full, &size);
    if (stream == nullptr)
        return -1;
    const int length = vfwprintf(stream, glibcFormat.c_str(), argptr);
    fclose(stream);
    int result = length;
    if (length >= 0 && static_cast<size_t>(length) < count)
        std::wmemcpy(buffer, full, static_cast<size_t>(length) + 1);
    else if (length >= 0)
        result = finishCut(buffer, count, full, static_cast<size_t>(length));
    std::free(full);
    return result;
}
