#include <windows.h>

#include <sys/syscall.h>
#include <unistd.h>

#include <ctime>

WINPORT_API void GetLocalTime(LPSYSTEMTIME lpSystemTime)
{
    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local {};
    localtime_r(&now.tv_sec, &local);
    lpSystemTime->wYear = static_cast<WORD>(local.tm_year + 1900);
    lpSystemTime->wMonth = static_cast<WORD>(local.tm_mon + 1);
    lpSystemTime->wDayOfWeek = static_cast<WORD>(local.tm_wday);
    lpSystemTime->wDay = static_cast<WORD>(local.tm_mday);
    lpSystemTime->wHour = static_cast<WORD>(local.tm_hour);
    lpSystemTime->wMinute = static_cast<WORD>(local.tm_min);
    lpSystemTime->wSecond = static_cast<WORD>(local.tm_sec);
    lpSystemTime->wMilliseconds = static_cast<WORD>(now.tv_nsec / 1000000);
}

WINPORT_API DWORD GetCurrentProcessId(void)
{
    return static_cast<DWORD>(getpid());
}

WINPORT_API DWORD GetCurrentThreadId(void)
{
    return static_cast<DWORD>(syscall(SYS_gettid));
}
