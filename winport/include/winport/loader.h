#pragma once
#include <winport/types.h>

// Library loading on dlopen. An HMODULE is the module's load address, as on
// Windows. Paths may use '\' or '/'; a name that does not exist as written is
// matched case-insensitively, component by component. Module file names come
// back in Windows form, with "Z:" standing for the POSIX root as under Wine.
// A bare name is sought beside the program, then in the DLL directory; in the
// current folder only while none is set: SetDllDirectoryW(L"") takes it out,
// SetDllDirectoryW(NULL) brings it back (GetDllDirectoryW reports both as "").

#define GET_MODULE_HANDLE_EX_FLAG_PIN 0x1
#define GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT 0x2
#define GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS 0x4

WINPORT_API HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName);
WINPORT_API FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName);
WINPORT_API BOOL WINAPI FreeLibrary(HMODULE hLibModule);
WINPORT_API BOOL WINAPI GetModuleHandleExA(DWORD dwFlags, LPCSTR lpModuleName, HMODULE* phModule);
WINPORT_API DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize);
WINPORT_API DWORD WINAPI GetDllDirectoryW(DWORD nBufferLength, LPWSTR lpBuffer);
WINPORT_API BOOL WINAPI SetDllDirectoryW(LPCWSTR lpPathName);
WINPORT_API BOOL WINAPI DisableThreadLibraryCalls(HMODULE hLibModule);
