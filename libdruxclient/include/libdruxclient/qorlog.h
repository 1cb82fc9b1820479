#pragma once
#include <windows.h>

#include "CriticalSection.h"
#include "qorlogstreams.h"

#include <cstdio>
#include <string>

namespace QORCLIENT {
class ProcessObjects;
template <class T>
class Once;
} // namespace QORCLIENT

// The client layer's diagnostic log: stamped lines to the debugger and to two
// rotating files beside the host executable, shared by several processes.
class qorlog
{
public:
    // The one logger is never destroyed: the library's unload stops it
    // (closes the file, releases the texts), and lines after that reach the
    // debugger only.
    ~qorlog() = delete;

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
    // The client layer's process-wide objects make the one logger and stop it.
    friend class QORCLIENT::ProcessObjects;
    friend class QORCLIENT::Once<qorlog>;

    qorlog(const char* directory, const char* name, const char* eventBase);

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
    // At process end the stop would wait for writers that may have died
    // inside a line or a switch: it only says so, and the system closes the
    // files, whose lines are all committed.
    void stop(bool processEnding);

    LogStreams m_streams;    // stream and path of the file in use, one slot per file
    const char* m_eventBase; // not copied; the caller's text
    std::string m_directory;
    std::string m_name;
    std::string m_pathBase;       // directory\name. once the first file was chosen
    HANDLE m_event = nullptr;     // presence event of the file in use
    int m_index = 1;              // 1 or 2
    CriticalSection m_switchLock; // taken only to switch files; no lock is taken inside it
};
