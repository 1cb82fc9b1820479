#include <windows.h>

#include <chrono>
#include <mutex>
#include <new>
#include <thread>

namespace {

// A Windows critical section is recursive: its owner may enter it again.
std::recursive_mutex* mutexOf(LPCRITICAL_SECTION section)
{
    static_assert(sizeof(std::recursive_mutex) <= sizeof section->opaque.storage,
                  "CRITICAL_SECTION storage too small");
    return std::launder(reinterpret_cast<std::recursive_mutex*>(section->opaque.storage));
}

} // namespace

WINPORT_API void InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection)
{
    new (lpCriticalSection->opaque.storage) std::recursive_mutex;
}

WINPORT_API void EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection)
{
    mutexOf(lpCriticalSection)->lock();
}

WINPORT_API void LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection)
{
    mutexOf(lpCriticalSection)->unlock();
}

WINPORT_API void DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection)
{
    mutexOf(lpCriticalSection)->~recursive_mutex();
}

WINPORT_API void Sleep(DWORD dwMilliseconds)
{
    if (dwMilliseconds == 0) {
        std::this_thread::yield();
        return;
    }
    // INFINITE never returns, as on Windows.
    do // NOLINT(bugprone-infinite-loop)
        std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds));
    while (dwMilliseconds == INFINITE);
}
