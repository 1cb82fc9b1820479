#include <windows.h>

#include "paths/PosixPath.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <unistd.h>

namespace {

// Windows marks programs by their extension, not by a permission bit.
bool hasProgramExtension(const char* path)
{
    const char* dot = std::strrchr(path, '.');
    if (!dot || std::strchr(dot, '/'))
        return false;
    return strcasecmp(dot, ".exe") == 0 || strcasecmp(dot, ".com") == 0 ||
           strcasecmp(dot, ".bat") == 0 || strcasecmp(dot, ".cmd") == 0;
}

unsigned short windowsMode(const struct stat& st, const char* path)
{
    unsigned short mode = _S_IREAD;
    if (S_ISDIR(st.st_mode))
        mode |= _S_IFDIR | _S_IEXEC;
    else if (S_ISREG(st.st_mode))
        mode |= _S_IFREG;
    if (st.st_mode & S_IWUSR)
        mode |= _S_IWRITE;
    if (S_ISREG(st.st_mode) && hasProgramExtension(path))
        mode |= _S_IEXEC;
    // The owner's bits stand for group and others too.
    return static_cast<unsigned short>(mode | ((mode & 0700) >> 3) | ((mode & 0700) >> 6));
}

bool fitsIn32(long long value)
{
    return value >= INT32_MIN && value <= INT32_MAX;
}

// The Windows view of what stat found at `path`.
int fillStat32(const struct stat& st, const char* path, struct _stat32* buffer)
{
    if (!fitsIn32(st.st_size) || !fitsIn32(st.st_mtim.tv_sec) || !fitsIn32(st.st_atim.tv_sec) ||
        !fitsIn32(st.st_ctim.tv_sec)) {
        errno = EOVERFLOW;
        return -1;
    }
    std::memset(buffer, 0, sizeof *buffer);
    buffer->st_dev = buffer->st_rdev = 'Z' - 'A';
    buffer->st_mode = windowsMode(st, path);
    buffer->st_nlink = 1;
    buffer->st_size = static_cast<int32_t>(st.st_size);
    buffer->st_atime = static_cast<int32_t>(st.st_atim.tv_sec);
    buffer->st_mtime = static_cast<int32_t>(st.st_mtim.tv_sec);
    buffer->st_ctime = static_cast<int32_t>(st.st_ctim.tv_sec);
    return 0;
}

} // namespace

WINPORT_API int _access(const char* path, int mode)
{
    std::string posix;
    if (!path || (mode & ~6) != 0) {
        errno = EINVAL;
        return -1;
    }
    if (!winport::toPosixPath(path, posix)) {
        errno = ENOENT;
        return -1;
    }
    int posixMode = (mode & 2 ? W_OK : 0) | (mode & 4 ? R_OK : 0);
    return access(posix.c_str(), posixMode ? posixMode : F_OK) == 0 ? 0 : -1;
}

WINPORT_API int _stat32(const char* path, struct _stat32* buffer)
{
    if (!path || !buffer) {
        errno = EINVAL;
        return -1;
    }
    struct stat st;
    // A plain path costs one stat and no allocation: the client log asks
    // one for every line.
    char plain[PATH_MAX];
    if (winport::plainPosixPath(path, plain, sizeof plain) && stat(plain, &st) == 0)
        return fillStat32(st, plain, buffer);
    std::string posix;
    if (!winport::toPosixPath(path, posix)) {
        errno = ENOENT;
        return -1;
    }
    if (stat(posix.c_str(), &st) != 0)
        return -1;
    return fillStat32(st, posix.c_str(), buffer);
}
