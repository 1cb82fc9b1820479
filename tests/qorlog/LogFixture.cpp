#include "LogFixture.h"

#include "ChildProcess.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

// Where the writers of a log file lock: one byte at 2^62.
OVERLAPPED lineLockRange()
{
    OVERLAPPED range = {};
    range.OffsetHigh = 0x40000000;
    return range;
}

template <typename Function>
Function probeFunction(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

} // namespace

LogFixture::LogFixture()
    : m_eventBase("qorlogtest-" + fs::path(m_dir.path()).filename().string())
    , m_start(fs::file_time_type::clock::now())
{}

LogFixture::~LogFixture()
{
    unload();
}

bool LogFixture::load(const std::string& directory)
{
    const fs::path probe = fs::path(ChildProcess::selfPath()).parent_path() / LOGGER_PROBE_FILE;
    m_module = LoadLibraryA(probe.string().c_str());
    if (!m_module) {
        ADD_FAILURE() << "cannot load " << probe << ", error " << GetLastError();
        return false;
    }
    using Start = void (*)(const char*, const char*, const char*);
    probeFunction<Start>(m_module, "probeStart")(directory.c_str(), nullptr, m_eventBase.c_str());
    return true;
}

void LogFixture::log(const std::string& text)
{
    probeFunction<void (*)(const char*)>(m_module, "probeLog")(text.c_str());
}

void LogFixture::logW(const std::wstring& text)
{
    probeFunction<void (*)(const wchar_t*)>(m_module, "probeLogW")(text.c_str());
}

void LogFixture::unload()
{
    if (m_module)
        FreeLibrary(m_module);
    m_module = nullptr;
}

std::string LogFixture::file(int index) const
{
    return m_dir.file("qorcore." + std::to_string(index) + ".txt");
}

std::string LogFixture::loggerPath(int index) const
{
    return m_dir.path() + "\\qorcore." + std::to_string(index) + ".txt";
}

bool LogFixture::eventHeld(int index) const
{
    const HANDLE event = CreateEventA(nullptr, FALSE, FALSE, eventName(index).c_str());
    const bool held = GetLastError() == ERROR_ALREADY_EXISTS;
    CloseHandle(event);
    return held;
}

HANDLE LogFixture::lockLinesOf(const std::string& path)
{
    const HANDLE handle =
        CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    OVERLAPPED range = lineLockRange();
    EXPECT_TRUE(LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &range));
    return handle;
}

void LogFixture::unlockLines(HANDLE file)
{
    OVERLAPPED range = lineLockRange();
    UnlockFileEx(file, 0, 1, 0, &range);
    CloseHandle(file);
}

std::string LogFixture::read(int index) const
{
    std::ifstream in(file(index), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void LogFixture::write(int index, const std::string& bytes, int secondsAgo) const
{
    std::ofstream(file(index), std::ios::binary) << bytes;
    fs::last_write_time(file(index), m_start - std::chrono::seconds(secondsAgo));
}

std::vector<std::string> LogFixture::lines(int index) const
{
    return splitLines(read(index));
}

std::vector<std::string> splitLines(const std::string& bytes)
{
    std::vector<std::string> result;
    size_t start = 0;
    for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        result.push_back(bytes.substr(start, end - start));
    result.push_back(bytes.substr(start));
    return result;
}

std::string idsOfThisThread()
{
    char ids[32];
    std::snprintf(ids, sizeof ids, "%-5lu %-5lu ",
                  static_cast<unsigned long>(GetCurrentProcessId()),
                  static_cast<unsigned long>(GetCurrentThreadId()));
    return ids;
}

bool stampedThisYear(const std::string& line)
{
    const std::string shape = "0000-00-00 00:00:00.000 ";
    if (line.size() < shape.size())
        return false;
    for (size_t i = 0; i < shape.size(); ++i) {
        const bool digit = line[i] >= '0' && line[i] <= '9';
        if (shape[i] == '0' ? !digit : line[i] != shape[i])
            return false;
    }
    const std::time_t now = std::time(nullptr);
    return line.compare(0, 4, std::to_string(1900 + std::localtime(&now)->tm_year)) == 0;
}

bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}
