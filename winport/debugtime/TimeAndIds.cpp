#include <windows.h>

#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <ctime>

namespace {

// Windows reads both ids from the thread's own block, without entering the
// kernel, and the client log stamps them on every line: each is asked of the
// kernel once and kept. A forked child forgets them and asks again.
std::atomic<DWORD> g_processId{0};
thread_local DWORD t_threadId = 0;

struct ForgetIdsInForkedChild
{
    ForgetIdsInForkedChild()
    {
        pthread_atfork(nullptr, nullptr, [] {
            g_processId.store(0, std::memory_order_relaxed);
            t_threadId = 0;
        });
    }
} g_forgetIdsInForkedChild;

} // namespace

WINPORT_API void GetLocalTime(LPSYSTEMTIME lpSystemTime)
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
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
    DWORD id = g_processId.load(std::memory_order_relaxed);
    if (id == 0) {
        id = static_cast<DWORD>(getpid());
        g_processId.store(id, std::memory_order_relaxed);
    }
    return id;
}

WINPORT_API DWORD GetCurrentThreadId(void)
{
    if (t_threadId == 0)
        t_threadId = static_cast<DWORD>(syscall(SYS_gettid));
    return t_threadId;
}
