#include <libdruxclient/qorlog.h>

#include <windows.h>

// Nothing to do per thread; everything else waits for getbundle(). A detach
// with `reserved` set is the process ending: its other threads are gone, and
// the static objects destroyed after this call must not wait for them.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH)
        DisableThreadLibraryCalls(instance);
    else if (reason == DLL_PROCESS_DETACH && reserved != nullptr)
        qorlog::processEnding();
    return TRUE;
}
