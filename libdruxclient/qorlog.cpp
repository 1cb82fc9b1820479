#include <libdruxclient/qorlog.h>

#include "ProcessObjects.h"

#include <windows.h>
#include <shlwapi.h>
#include <io.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <stdarg.h>
#include <stdio.h>

#include <atomic>
#include <cstring>
#include <new>

namespace {

constexpr unsigned kSizeLimit = 0x300000;
// Characters of a message and of a stamped line; their buffers hold one more.
constexpr size_t kTextLimit = 8192;
constexpr const char* kDefaultName = "qorcore";
constexpr const char* kFileLineFormat =
    "%02d-%02d-%02d %02d:%02d:%02d.%03d %-5d %-5d %-10.10s %s\n";
constexpr const char* kDebugLineFormat =
    "%02d-%02d-%02d %02d:%02d:%02d.%03d %-5u %-5u %-15.15s %s\n";

// Every open appends, the truncating one too: the truncation is the creation
// disposition's job, and a writer that joins the file afterwards must never
// see its lines overwritten by a stream that writes from its own position.
// The stream does not commit on its own: each line is committed after its
// line lock is given back (LogStreams::Pin::write).
constexpr int kDescriptorFlags = _O_TEXT | _O_APPEND;
constexpr const char* kStreamMode = "at";

// The module tag, once a lookup succeeded; until then each line looks it up.
enum TagState { kTagEmpty, kTagFilling, kTagReady };
std::atomic<int> g_tagState{kTagEmpty};
char g_moduleTag[MAX_PATH];

bool readModuleTag(char (&tag)[MAX_PATH])
{
    HMODULE module = nullptr;
    // Without UNCHANGED_REFCOUNT the lookup would pin this library for good,
    // and its unload, which stops the logger, would never come.
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&readModuleTag), &module))
        return false;
    if (GetModuleFileNameA(module, tag, MAX_PATH) == 0)
        return false;
    if (const char* slash = strrchr(tag, '\\'))
        memmove(tag, slash + 1, strlen(slash + 1) + 1);
    if (char* dot = strrchr(tag, '.'))
        *dot = '\0';
    return true;
}

// Base name of the module holding the logger; empty when the loader could not tell.
const char* moduleTag(char (&scratch)[MAX_PATH])
{
    if (g_tagState.load(std::memory_order_acquire) == kTagReady)
        return g_moduleTag;
    scratch[0] = '\0';
    if (!readModuleTag(scratch)) {
        scratch[0] = '\0';
        return scratch;
    }
    int expected = kTagEmpty;
    if (g_tagState.compare_exchange_strong(expected, kTagFilling)) {
        memcpy(g_moduleTag, scratch, sizeof g_moduleTag);
        g_tagState.store(kTagReady, std::memory_order_release);
    }
    return scratch;
}

void stampLine(char (&line)[kTextLimit + 1], const char* format, const char* message)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char tagScratch[MAX_PATH];
    _snprintf(line, kTextLimit, format, now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
              now.wSecond, now.wMilliseconds, GetCurrentProcessId(), GetCurrentThreadId(),
              moduleTag(tagScratch), message);
}

int lastError()
{
    return static_cast<int>(GetLastError());
}

HANDLE openShared(const std::string& path, DWORD disposition)
{
    // A present but null DACL: every user of the machine may append to the file.
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE);
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, &descriptor, TRUE};
    return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, &attributes, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

int32_t modificationTime(const std::string& path)
{
    struct _stat32 status;
    return _stat32(path.c_str(), &status) == 0 ? status.st_mtime : 0;
}

} // namespace

qorlog* qorlog::instance(const char* directory, const char* name, const char* eventBase)
{
    return &QORCLIENT::ProcessObjects::processWide().logger(directory, name, eventBase);
}

qorlog::qorlog(const char* directory, const char* name, const char* eventBase)
    : m_eventBase(eventBase ? eventBase : kDefaultName)
{
    debugLog("qorlog start");
    char executableFolder[MAX_PATH] = {};
    if (!directory) {
        GetModuleFileNameA(nullptr, executableFolder, MAX_PATH);
        PathRemoveFileSpecA(executableFolder);
        directory = executableFolder;
    }
    if (!name)
        name = kDefaultName;
    debugLog("write %s to directory: %s, event: %s", name, directory, m_eventBase);
    m_directory = directory;
    m_name = name;
    openLogFile(false);
}

void qorlog::log(const char* format, ...)
{
    char message[kTextLimit + 1] = {};
    va_list args;
    va_start(args, format);
    _vsnprintf(message, kTextLimit, format, args);
    va_end(args);
    writeLine(message);
}

void qorlog::logW(const wchar_t* format, ...)
{
    wchar_t message[kTextLimit + 1] = {};
    va_list args;
    va_start(args, format);
    _vsnwprintf(message, kTextLimit, format, args);
    va_end(args);
    char* text = toMultiByte(message, CP_ACP);
    if (text)
        writeLine(text);
    delete[] text;
}

void qorlog::debugLog(const char* format, ...)
{
    char message[kTextLimit + 1] = {};
    va_list args;
    va_start(args, format);
    _vsnprintf(message, kTextLimit, format, args);
    va_end(args);
    char line[kTextLimit + 1] = {};
    stampLine(line, kDebugLineFormat, message);
    OutputDebugStringA(line);
}

char* qorlog::toMultiByte(const wchar_t* text, UINT codePage)
{
    if (!text)
        return nullptr;
    const int size = static_cast<int>((wcslen(text) + 1) * 4);
    char* converted = new (std::nothrow) char[static_cast<size_t>(size)]();
    if (!converted)
        return nullptr;
    if (WideCharToMultiByte(codePage, 0, text, -1, converted, size, nullptr, nullptr) != 0 ||
        GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return converted;
    delete[] converted;
    const int needed = WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
    converted = needed > 0 ? new (std::nothrow) char[static_cast<size_t>(needed)]() : nullptr;
    if (converted &&
        WideCharToMultiByte(codePage, 0, text, -1, converted, needed, nullptr, nullptr) == 0) {
        delete[] converted;
        converted = nullptr;
    }
    return converted;
}

void qorlog::writeLine(const char* message)
{
    rotateIfFull();
    char line[kTextLimit + 1] = {};
    stampLine(line, kFileLineFormat, message);
    OutputDebugStringA(line);
    const LogStreams::Pin pin = m_streams.pin();
    if (pin->stream)
        pin.write(line, strlen(line));
}

qorlog::Room qorlog::currentRoom()
{
    const LogStreams::Pin pin = m_streams.pin();
    if (!pin->stream)
        return Room::NoFile;
    unsigned size;
    struct _stat32 status;
    // The size on disk counts what other processes appended too.
    if (m_eventBase && _stat32(pin->path.c_str(), &status) == 0)
        size = static_cast<unsigned>(status.st_size);
    else
        size = static_cast<unsigned>(ftell(pin->stream));
    return size < kSizeLimit ? Room::Free : Room::Full;
}

bool qorlog::rotateIfFull()
{
    Room room = currentRoom();
    if (room == Room::Full) {
        // The pin is gone by now: the switch waits for every writer inside the full file.
        ScopedLock lock(m_switchLock);
        room = currentRoom(); // another thread may have switched meanwhile
        if (room == Room::Full)
            return openLogFile(true);
    }
    return room == Room::Free;
}

std::string qorlog::filePath(int index) const
{
    return m_pathBase + std::to_string(index) + ".txt";
}

std::string qorlog::nextFilePath(bool rotate)
{
    if (m_pathBase.empty())
        m_pathBase = m_directory + "\\" + m_name + ".";
    if (rotate)
        m_index = m_index % 2 + 1;
    else
        m_index = modificationTime(filePath(1)) >= modificationTime(filePath(2)) ? 1 : 2;
    return filePath(m_index);
}

std::string qorlog::eventName() const
{
    if (!m_eventBase)
        return std::string();
    char name[MAX_PATH + 1] = {};
    _snprintf(name, MAX_PATH, "%s.event.%d", m_eventBase, m_index);
    return name;
}

bool qorlog::openLogFile(bool rotate)
{
    const std::string path = nextFilePath(rotate);
    // A switching writer holds the target's line lock through a handle of its
    // own from before it claims the presence event until its truncation is
    // done. A writer of another process that saw the event and joined the
    // file writes its first line only after that, so the truncation never
    // takes a joining writer's lines with it.
    const HANDLE guard = rotate ? openShared(path, OPEN_ALWAYS) : INVALID_HANDLE_VALUE;
    LockGeneration guardGeneration;
    LineLock guardLock(guard, guardGeneration);
    const bool shared = claimPresence(path);
    HANDLE file = nullptr;
    FILE* stream = createSharedFile(path, rotate && !shared ? CREATE_ALWAYS : OPEN_ALWAYS, &file);
    guardLock.unlock();
    if (guard != INVALID_HANDLE_VALUE)
        CloseHandle(guard);
    m_streams.install(m_index, path, stream, file);
    if (!stream) {
        debugLog("open log file %s failed", path.c_str());
        return false;
    }
    debugLog("switch log file to %s", path.c_str());
    return true;
}

bool qorlog::claimPresence(const std::string& path)
{
    if (!m_eventBase)
        return false;
    if (m_event) {
        CloseHandle(m_event);
        m_event = nullptr;
    }
    const std::string name = eventName();
    // The guard's open may have left 183 behind; only the event's own answer counts.
    SetLastError(ERROR_SUCCESS);
    m_event = CreateEventA(nullptr, FALSE, FALSE, name.c_str());
    if (!m_event) {
        debugLog("create synchronize event failed, name = %s, errno = %d", name.c_str(),
                 lastError());
        return false;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    debugLog("log file %d we switched to has opened with '%s', just append data onto it !", m_index,
             name.c_str());
    struct _stat32 status;
    if (_stat32(path.c_str(), &status) == 0 && static_cast<unsigned>(status.st_size) > kSizeLimit) {
        debugLog("the log file is too large to append to, force truncate !");
        return false;
    }
    return true;
}

FILE* qorlog::createSharedFile(const std::string& path, DWORD disposition, HANDLE* file)
{
    const HANDLE handle = openShared(path, disposition);
    if (handle == INVALID_HANDLE_VALUE) {
        debugLog("create file failed, errno = %d", lastError());
        return nullptr;
    }
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), kDescriptorFlags);
    if (descriptor == -1) {
        debugLog("_open_osfhandle failed, errno = %d", lastError());
        CloseHandle(handle);
        return nullptr;
    }
    FILE* stream = _fdopen(descriptor, kStreamMode);
    if (!stream) {
        debugLog("_fdopen failed, errno = %d", lastError());
        _close(descriptor);
        return nullptr;
    }
    *file = handle;
    return stream;
}

void qorlog::stop(bool processEnding)
{
    if (processEnding) {
        debugLog("qorlog stop");
        return;
    }
    ScopedLock lock(m_switchLock); // a switch under way finishes first
    m_streams.close();
    debugLog("qorlog stop");
    std::string().swap(m_directory);
    std::string().swap(m_name);
    std::string().swap(m_pathBase);
}
