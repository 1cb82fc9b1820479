#pragma once
#include <windows.h>

#include <cstdio>
#include <string>

// The client layer's diagnostic log: stamped lines to the debugger and to two
// rotating files beside the host executable, shared by several processes.
class qorlog
{
public:
    // Never null. The first call creates the logger with these arguments (null
    // means the default); later calls ignore them.
    static qorlog* instance(const char* directory, const char* name, const char* eventBase);

    void log(const char* format, ...);
    void logW(const wchar_t* format, ...);

    // Debugger-only line; needs no instance (destructors use it).
    static void debugLog(const char* format, ...);

    // Newly allocated with new[], freed by the caller with delete[]; null for null.
    static char* toMultiByte(const wchar_t* text, UINT codePage);

private:
    qorlog(const char* directory, const char* name, const char* eventBase);
    ~qorlog();
    // The rest is the logger's own (see qorlog.cpp).
};
