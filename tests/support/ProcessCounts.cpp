#include "ProcessCounts.h"

#ifdef _WIN32
#include <windows.h>

#include <psapi.h>
#include <tlhelp32.h>

ProcessCounts processCounts()
{
    ProcessCounts counts;
    DWORD handles = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handles);
    counts.descriptors = static_cast<long>(handles);
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        counts.threads += entry.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    PROCESS_MEMORY_COUNTERS memory{};
    K32GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    counts.residentKiB = static_cast<long>(memory.WorkingSetSize / 1024);
    return counts;
}

#else
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

ProcessCounts processCounts()
{
    using std::filesystem::directory_iterator;
    ProcessCounts counts;
    // The listing's own descriptor is among the entries.
    counts.descriptors = std::distance(directory_iterator("/proc/self/fd"), {}) - 1;
    counts.threads = std::distance(directory_iterator("/proc/self/task"), {});
    long size = 0;
    long resident = 0;
    std::ifstream("/proc/self/statm") >> size >> resident;
    counts.residentKiB = resident * (sysconf(_SC_PAGESIZE) / 1024);
    return counts;
}

#endif
