#pragma once
#include <windows.h>

namespace winport {

// The Windows last-error code closest to a POSIX errno value.
DWORD winErrorFromErrno(int error);

// SetLastError(winErrorFromErrno(errno)), for the failure paths.
void setLastErrorFromErrno();

} // namespace winport
