#include <windows.h>

// One last-error value per thread, as on Windows.
static thread_local DWORD t_lastError = ERROR_SUCCESS;

WINPORT_API DWORD GetLastError(void)
{
    return t_lastError;
}
WINPORT_API void SetLastError(DWORD error)
{
    t_lastError = error;
}
