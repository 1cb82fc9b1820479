#pragma once
#include <windows.h>

#include "CriticalSection.h"
#include "qorlogstreams.h"

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

    // The process is ending (on Windows: DLL_PROCESS_DETACH at process exit,
    // when the system has already ended every other thread, wherever it was).
    // The unload's stop would wait for writers that may have died inside a
    // line or a switch: it is left out, and the system closes the files, whose
    // lines are all committed.
    static void processEnding();

    // Debugger-only line; needs no instance (destructors use it).
    static void debugLog(const char* format, ...);

    // Newly allocated with new[], freed by the caller with delete[]; null for null.
    static char* toMultiByte(const wchar_t* text, UINT codePage);

private:
    class UnloadStop;

    qorlog(const char* directory, const char* name, const char* eventBase);
    // The one logger is never destroyed: the library's unload stops it
    // (closes the file, releases the texts), and lines after that reach the
    // debugger only.
    ~qorlog() = delete;

    enum class Room { NoFile, Free, Full };

    void writeLine(const char* message);
    Room currentRoom();
    bool rotateIfFull();
    std::string filePath(int index) const;
    std::string nextFilePath(bool rotate);
    std::string eventName() const;
    bool openLogFile(bool rotate);
    bool claimPresence(const std::string& path);
    static FILE* createSharedFile(const std::string& path, DWORD disposition, HANDLE* file);
    void stop();

    LogStreams m_streams;    // stream and path of the file in use, one slot per file
    const char* m_eventBase; // not copied; the caller's text
    std::string m_directory;
    std::string m_name;
    std::string m_pathBase;       // directory\name. once the first file was chosen
    HANDLE m_event = nullptr;     // presence event of the file in use
    int m_index = 1;              // 1 or 2
    CriticalSection m_switchLock; // taken only to switch files; no lock is taken inside it
};
