#pragma once
// Critical sections, interlocked operations, Sleep, events and the handle
// basics shared by every kernel object (security attributes, CloseHandle).
#include <winport/types.h>

typedef struct _SECURITY_ATTRIBUTES
{
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *PSECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

// Opaque storage for a recursive mutex; only the calls below touch it.
typedef struct _RTL_CRITICAL_SECTION
{
    union
    {
        void* align;
        unsigned char storage[64];
    } opaque;
} CRITICAL_SECTION, *PCRITICAL_SECTION, *LPCRITICAL_SECTION;

WINPORT_API void InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
WINPORT_API void EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
WINPORT_API void LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
WINPORT_API void DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection);

// Compiler intrinsics on Windows too: full barriers, old or new value as there.
inline LONG InterlockedIncrement(LONG volatile* Addend)
{
    return __atomic_add_fetch(Addend, 1, __ATOMIC_SEQ_CST);
}
inline LONG InterlockedDecrement(LONG volatile* Addend)
{
    return __atomic_sub_fetch(Addend, 1, __ATOMIC_SEQ_CST);
}
inline LONG InterlockedExchange(LONG volatile* Target, LONG Value)
{
    return __atomic_exchange_n(Target, Value, __ATOMIC_SEQ_CST);
}
inline LONG InterlockedCompareExchange(LONG volatile* Destination, LONG ExChange, LONG Comperand)
{
    __atomic_compare_exchange_n(Destination, &Comperand, ExChange, false, __ATOMIC_SEQ_CST,
                                __ATOMIC_SEQ_CST);
    return Comperand;
}
inline PVOID InterlockedCompareExchangePointer(PVOID volatile* Destination, PVOID Exchange,
                                               PVOID Comperand)
{
    __atomic_compare_exchange_n(Destination, &Comperand, Exchange, false, __ATOMIC_SEQ_CST,
                                __ATOMIC_SEQ_CST);
    return Comperand;
}

WINPORT_API void Sleep(DWORD dwMilliseconds);

// A named event lives as long as some handle to it is open, in any process of
// the user (a lock file in the folder WINPORT_OBJECTS names, by default
// /tmp/winport-<uid>). Unnamed events exist only as handles: nothing signals
// or waits on them here.
WINPORT_API HANDLE CreateEventA(LPSECURITY_ATTRIBUTES lpEventAttributes, BOOL bManualReset,
                                BOOL bInitialState, LPCSTR lpName);
WINPORT_API BOOL CloseHandle(HANDLE hObject);
