#pragma once
// Files: CreateFileA with security attributes, byte-range locks, and the CRT
// bridge from a HANDLE to a descriptor and a stream.
#include <winport/types.h>
#include <winport/sync.h>
#include <cstdio>

typedef struct _ACL ACL, *PACL;
typedef PVOID PSID;
typedef WORD SECURITY_DESCRIPTOR_CONTROL;
typedef struct _SECURITY_DESCRIPTOR
{
    BYTE Revision;
    BYTE Sbz1;
    SECURITY_DESCRIPTOR_CONTROL Control;
    PSID Owner;
    PSID Group;
    PACL Sacl;
    PACL Dacl;
} SECURITY_DESCRIPTOR, *PISECURITY_DESCRIPTOR;
typedef PVOID PSECURITY_DESCRIPTOR;

#define SECURITY_DESCRIPTOR_REVISION 1
#define SE_DACL_PRESENT 0x0004
#define SE_DACL_DEFAULTED 0x0008

WINPORT_API BOOL InitializeSecurityDescriptor(PSECURITY_DESCRIPTOR pSecurityDescriptor,
                                              DWORD dwRevision);
// A present null DACL grants everyone full access: files created with it are
// readable and writable by every user, whatever the umask.
WINPORT_API BOOL SetSecurityDescriptorDacl(PSECURITY_DESCRIPTOR pSecurityDescriptor,
                                           BOOL bDaclPresent, PACL pDacl, BOOL bDaclDefaulted);

#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 0x00000001
#define FILE_SHARE_WRITE 0x00000002
#define FILE_SHARE_DELETE 0x00000004
#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define TRUNCATE_EXISTING 5
#define FILE_ATTRIBUTE_NORMAL 0x00000080
#define INVALID_FILE_SIZE ((DWORD)0xFFFFFFFF)
#define MAXDWORD 0xffffffffu

typedef struct _OVERLAPPED
{
    ULONG_PTR Internal;
    ULONG_PTR InternalHigh;
    union
    {
        struct
        {
            DWORD Offset;
            DWORD OffsetHigh;
        };
        PVOID Pointer;
    };
    HANDLE hEvent;
} OVERLAPPED, *LPOVERLAPPED;

#define LOCKFILE_FAIL_IMMEDIATELY 0x00000001
#define LOCKFILE_EXCLUSIVE_LOCK 0x00000002

// Share modes are accepted but not enforced: POSIX has no mandatory sharing.
// Handles are never inherited by child processes, whatever bInheritHandle says.
WINPORT_API HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                               LPSECURITY_ATTRIBUTES lpSecurityAttributes,
                               DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes,
                               HANDLE hTemplateFile);
WINPORT_API BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                           LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped);
WINPORT_API DWORD GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh);
// Commits what was written through the handle to the disk (fdatasync).
WINPORT_API BOOL FlushFileBuffers(HANDLE hFile);
// Locks hold per handle (two handles of one process conflict) and, unlike
// Windows, are advisory: they bind only writers that take them too.
WINPORT_API BOOL LockFileEx(HANDLE hFile, DWORD dwFlags, DWORD dwReserved,
                            DWORD nNumberOfBytesToLockLow, DWORD nNumberOfBytesToLockHigh,
                            LPOVERLAPPED lpOverlapped);
WINPORT_API BOOL UnlockFileEx(HANDLE hFile, DWORD dwReserved, DWORD nNumberOfBytesToUnlockLow,
                              DWORD nNumberOfBytesToUnlockHigh, LPOVERLAPPED lpOverlapped);

// <io.h> and <fcntl.h> of the Windows CRT.
#define _O_RDONLY 0x0000
#define _O_WRONLY 0x0001
#define _O_RDWR 0x0002
#define _O_APPEND 0x0008
#define _O_CREAT 0x0100
#define _O_TRUNC 0x0200
#define _O_EXCL 0x0400
#define _O_TEXT 0x4000
#define _O_BINARY 0x8000

// The descriptor takes the handle over: _close (or fclose of its stream)
// closes both. Of the flags only _O_APPEND, _O_TEXT and _O_BINARY matter.
WINPORT_API int _open_osfhandle(intptr_t osfhandle, int flags);
WINPORT_API intptr_t _get_osfhandle(int fd);
WINPORT_API int _close(int fd);
WINPORT_API int _fileno(FILE* stream);
// Modes r, w, a with +, b or t, and c (commit: each flush reaches the disk).
// A text stream writes "\r\n" for "\n" and does not read. As in the Windows
// CRT, "a" alone does not append: _O_APPEND on the descriptor does. A line
// written with one fwrite and one fflush (up to 8193 characters, CR LF
// doubling included) reaches the file in one write.
WINPORT_API FILE* _fdopen(int fd, const char* mode);
