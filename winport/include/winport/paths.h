#pragma once
#include <winport/types.h>

// glibc spells st_atime, st_mtime and st_ctime as macros over its timespec
// fields; the CRT's struct _stat32 has plain fields of those names. Taking the
// header first and dropping the macros keeps both usable in Windows code
// (POSIX code beside it reads st_mtim.tv_sec instead).
#include <sys/stat.h>
#undef st_atime
#undef st_mtime
#undef st_ctime

// Path helpers of the shell library. Both '\' and '/' separate on input; the
// results use '\'.
WINPORT_API BOOL WINAPI PathCanonicalizeA(LPSTR pszBuf, LPCSTR pszPath);
WINPORT_API BOOL WINAPI PathRemoveFileSpecA(LPSTR pszPath);

// The CRT's file queries, with its 32-bit size and time.
#define _S_IFMT 0xF000
#define _S_IFDIR 0x4000
#define _S_IFREG 0x8000
#define _S_IREAD 0x0100
#define _S_IWRITE 0x0080
#define _S_IEXEC 0x0040

struct _stat32
{
    unsigned int st_dev;
    unsigned short st_ino;
    unsigned short st_mode;
    short st_nlink;
    short st_uid;
    short st_gid;
    unsigned int st_rdev;
    int32_t st_size;
    int32_t st_atime;
    int32_t st_mtime;
    int32_t st_ctime;
};

WINPORT_API int _access(const char* path, int mode);
// The C runtime names the function after its structure.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wshadow"
WINPORT_API int _stat32(const char* path, struct _stat32* buffer);
#pragma GCC diagnostic pop
