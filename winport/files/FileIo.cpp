#include "files/FileObject.h"
#include "sync/SystemError.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

uint64_t joinHalves(DWORD low, DWORD high)
{
    return (uint64_t(high) << 32) | low;
}

BOOL reportResult(DWORD error)
{
    if (error == ERROR_SUCCESS)
        return TRUE;
    SetLastError(error);
    return FALSE;
}

// Runs a lock operation on the range that starts at the OVERLAPPED's offset.
template <class Operation>
BOOL onRange(HANDLE handle, const OVERLAPPED* at, DWORD lengthLow, DWORD lengthHigh,
             Operation operation)
{
    const auto file = winport::handles::find<winport::FileObject>(handle);
    if (!file)
        return FALSE;
    if (at == nullptr)
        return reportResult(ERROR_INVALID_PARAMETER);
    return reportResult(operation(*file, joinHalves(at->Offset, at->OffsetHigh),
                                  joinHalves(lengthLow, lengthHigh)));
}

} // namespace

// Synchronous handles only: an OVERLAPPED gives the offset to write at.
WINPORT_API BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                           LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped)
{
    const auto file = winport::handles::find<winport::FileObject>(hFile);
    if (!file)
        return FALSE;
    const char* bytes = static_cast<const char*>(lpBuffer);
    off_t offset =
        lpOverlapped
            ? static_cast<off_t>(joinHalves(lpOverlapped->Offset, lpOverlapped->OffsetHigh))
            : 0;
    DWORD done = 0;
    while (done < nNumberOfBytesToWrite) {
        const size_t rest = nNumberOfBytesToWrite - done;
        const ssize_t written = lpOverlapped ? pwrite(file->fd(), bytes + done, rest, offset + done)
                                             : write(file->fd(), bytes + done, rest);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            break;
        done += static_cast<DWORD>(written);
    }
    if (lpNumberOfBytesWritten != nullptr)
        *lpNumberOfBytesWritten = done;
    return done == nNumberOfBytesToWrite ? TRUE : reportResult(winport::winErrorFromErrno(errno));
}

WINPORT_API DWORD GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh)
{
    const auto file = winport::handles::find<winport::FileObject>(hFile);
    struct stat st;
    if (!file)
        return INVALID_FILE_SIZE;
    if (fstat(file->fd(), &st) != 0) {
        winport::setLastErrorFromErrno();
        return INVALID_FILE_SIZE;
    }
    const uint64_t size = static_cast<uint64_t>(st.st_size);
    if (lpFileSizeHigh != nullptr)
        *lpFileSizeHigh = static_cast<DWORD>(size >> 32);
    // A size whose low half reads INVALID_FILE_SIZE is told from a failure
    // by the last error, as on Windows.
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(size);
}

WINPORT_API BOOL FlushFileBuffers(HANDLE hFile)
{
    const auto file = winport::handles::find<winport::FileObject>(hFile);
    if (!file)
        return FALSE;
    int result;
    do
        result = fdatasync(file->fd());
    while (result != 0 && errno == EINTR);
    return result == 0 ? TRUE : reportResult(winport::winErrorFromErrno(errno));
}

WINPORT_API BOOL LockFileEx(HANDLE hFile, DWORD dwFlags, DWORD, DWORD nNumberOfBytesToLockLow,
                            DWORD nNumberOfBytesToLockHigh, LPOVERLAPPED lpOverlapped)
{
    const bool exclusive = (dwFlags & LOCKFILE_EXCLUSIVE_LOCK) != 0;
    const bool wait = (dwFlags & LOCKFILE_FAIL_IMMEDIATELY) == 0;
    return onRange(hFile, lpOverlapped, nNumberOfBytesToLockLow, nNumberOfBytesToLockHigh,
                   [&](winport::FileObject& file, uint64_t offset, uint64_t length) {
                       return file.lock(offset, length, exclusive, wait);
                   });
}

WINPORT_API BOOL UnlockFileEx(HANDLE hFile, DWORD, DWORD nNumberOfBytesToUnlockLow,
                              DWORD nNumberOfBytesToUnlockHigh, LPOVERLAPPED lpOverlapped)
{
    return onRange(hFile, lpOverlapped, nNumberOfBytesToUnlockLow, nNumberOfBytesToUnlockHigh,
                   [](winport::FileObject& file, uint64_t offset, uint64_t length) {
                       return file.unlock(offset, length);
                   });
}
