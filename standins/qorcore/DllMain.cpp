// The loader's notices: only the detach matters, for the journal and for the
// core's threads, which the system has ended when the process ends.
#include <windows.h>

#include "Journal.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH)
        DisableThreadLibraryCalls(instance);
    else if (reason == DLL_PROCESS_DETACH)
        qorcore::journalDetach(reserved != nullptr);
    return TRUE;
}
