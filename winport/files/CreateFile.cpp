#include "files/FileObject.h"
#include "paths/PosixPath.h"
#include "sync/SystemError.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

int accessFlags(DWORD access)
{
    const bool reads = (access & GENERIC_READ) != 0;
    const bool writes = (access & GENERIC_WRITE) != 0;
    if (reads && writes)
        return O_RDWR;
    return writes ? O_WRONLY : O_RDONLY;
}

bool grantsEveryone(const SECURITY_ATTRIBUTES* attributes)
{
    if (attributes == nullptr || attributes->lpSecurityDescriptor == nullptr)
        return false;
    const auto* descriptor =
        static_cast<const SECURITY_DESCRIPTOR*>(attributes->lpSecurityDescriptor);
    return (descriptor->Control & SE_DACL_PRESENT) != 0 && descriptor->Dacl == nullptr;
}

// Windows tells a missing file (2) from a missing folder on the way (3).
DWORD missingError(const std::string& path)
{
    const std::string folder = path.substr(0, path.rfind('/') + 1);
    struct stat st;
    return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? ERROR_FILE_NOT_FOUND
                                                                 : ERROR_PATH_NOT_FOUND;
}

// Creates the file, or opens it when it is there already. The exclusive
// create tells the two apart without a race; a file removed between the two
// steps is created on the next round.
int openOrCreate(const std::string& path, int flags, bool& existed)
{
    for (;;) {
        int fd = open(path.c_str(), flags | O_CREAT | O_EXCL, 0666);
        if (fd >= 0 || errno != EEXIST) {
            existed = false;
            return fd;
        }
        fd = open(path.c_str(), flags);
        if (fd >= 0 || errno != ENOENT) {
            existed = true;
            return fd;
        }
    }
}

int openByDisposition(const std::string& path, int flags, DWORD disposition, bool& existed)
{
    existed = false;
    switch (disposition) {
    case CREATE_NEW: return open(path.c_str(), flags | O_CREAT | O_EXCL, 0666);
    case CREATE_ALWAYS: return openOrCreate(path, flags | O_TRUNC, existed);
    case OPEN_EXISTING: existed = true; return open(path.c_str(), flags);
    case OPEN_ALWAYS: return openOrCreate(path, flags, existed);
    case TRUNCATE_EXISTING: existed = true; return open(path.c_str(), flags | O_TRUNC);
    default: errno = EINVAL; return -1;
    }
}

bool isFolder(int fd)
{
    struct stat st;
    return fstat(fd, &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

// Descriptors are close-on-exec whatever bInheritHandle says: a POSIX child
// could not use the HANDLE value, and an inherited descriptor would keep the
// handle's locks alive in the child.
WINPORT_API HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD,
                               LPSECURITY_ATTRIBUTES lpSecurityAttributes,
                               DWORD dwCreationDisposition, DWORD, HANDLE)
{
    std::string path;
    if (!winport::toPosixPath(lpFileName, path)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    if (dwCreationDisposition == TRUNCATE_EXISTING && (dwDesiredAccess & GENERIC_WRITE) == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    bool existed = false;
    const int fd = openByDisposition(path, accessFlags(dwDesiredAccess) | O_CLOEXEC,
                                     dwCreationDisposition, existed);
    if (fd < 0) {
        SetLastError(errno == ENOENT ? missingError(path) : winport::winErrorFromErrno(errno));
        return INVALID_HANDLE_VALUE;
    }
    // Windows opens a folder only for backup semantics, which nobody asks for.
    if (isFolder(fd)) {
        close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    if (!existed && grantsEveryone(lpSecurityAttributes))
        fchmod(fd, 0666);
    HANDLE handle = winport::handles::insert(std::make_shared<winport::FileObject>(fd));
    const bool reportsExisting =
        dwCreationDisposition == CREATE_ALWAYS || dwCreationDisposition == OPEN_ALWAYS;
    SetLastError(existed && reportsExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}
