#pragma once
// Debugger output, local time, process and thread ids.
#include <winport/types.h>

typedef struct _SYSTEMTIME
{
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
} SYSTEMTIME, *PSYSTEMTIME, *LPSYSTEMTIME;

// Reaches nobody unless a capture hook is set (winport/debughook.h) or
// WINPORT_DEBUG_OUTPUT names a file to append to, or "stderr".
WINPORT_API void OutputDebugStringA(LPCSTR lpOutputString);
WINPORT_API void GetLocalTime(LPSYSTEMTIME lpSystemTime);
WINPORT_API DWORD GetCurrentProcessId(void);
// The kernel's thread id, the one a debugger or `top -H` shows.
WINPORT_API DWORD GetCurrentThreadId(void);
