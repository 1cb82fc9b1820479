// msvcrt.dll, the C runtime that MinGW links, lacks _stat32, which the later
// Windows runtimes export. <sys/stat.h> declares it imported, so calls go
// through the import pointer defined here, to a _stat64 whose results are
// narrowed the way _stat32 reports them.
#include <errno.h>
#include <stdint.h>
#include <sys/stat.h>

namespace {

int __cdecl stat32(const char* path, struct _stat32* out)
{
    struct _stat64 full;
    if (_stat64(path, &full) != 0)
        return -1;
    if (full.st_size > INT32_MAX || full.st_mtime > INT32_MAX || full.st_atime > INT32_MAX ||
        full.st_ctime > INT32_MAX) {
        errno = EOVERFLOW;
        return -1;
    }
    out->st_dev = full.st_dev;
    out->st_ino = full.st_ino;
    out->st_mode = full.st_mode;
    out->st_nlink = full.st_nlink;
    out->st_uid = full.st_uid;
    out->st_gid = full.st_gid;
    out->st_rdev = full.st_rdev;
    out->st_size = static_cast<_off_t>(full.st_size);
    out->st_atime = static_cast<__time32_t>(full.st_atime);
    out->st_mtime = static_cast<__time32_t>(full.st_mtime);
    out->st_ctime = static_cast<__time32_t>(full.st_ctime);
    return 0;
}

} // namespace

extern "C" int(__cdecl* __MINGW_IMP_SYMBOL(_stat32))(const char*, struct _stat32*) = stat32;
