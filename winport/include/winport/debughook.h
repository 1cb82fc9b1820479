#pragma once
// winport only, not part of <windows.h>: lets a test see what the process
// sends to the debugger. One hook per process; null removes it. Setting the
// hook waits for calls of the previous one to return, so a capture object may
// be destroyed right after it removed its hook.
#include <winport/types.h>

typedef void (*winport_debug_hook)(const char* text, void* context);
WINPORT_API void winport_set_debug_hook(winport_debug_hook hook, void* context);
