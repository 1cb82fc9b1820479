#pragma once
// C runtime names that POSIX lacks, with the Windows CRT's semantics.
#include <winport/types.h>
#include <cstdarg>
#include <cstdio>
#include <cwchar>

// A text longer than count is cut at count and NOT terminated; the result is
// then -1 (or count when it fits exactly, again unterminated).
WINPORT_API int _vsnprintf(char* buffer, size_t count, const char* format, va_list argptr);
WINPORT_API int _snprintf(char* buffer, size_t count, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
// As _vsnprintf; the format speaks Windows' wide dialect: %s and %c take wide
// arguments, %S, %C, %hs and %hc narrow ones.
WINPORT_API int _vsnwprintf(wchar_t* buffer, size_t count, const wchar_t* format, va_list argptr);
