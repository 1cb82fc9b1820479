#include <libdruxclient/ProcessEnd.h>

#include <windows.h>

// Nothing to do per thread; everything else waits for getbundle(). A detach
// with `reserved` set is the process ending: the static objects destroyed
// after this call must not wait for the threads the system ended, nor call
// into libraries it may have detached before this one.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH)
        DisableThreadLibraryCalls(instance);
    else if (reason == DLL_PROCESS_DETACH && reserved != nullptr)
        QORCLIENT::processEnding();
    return TRUE;
}
