#include "ChildProcess.h"
#include "TempDir.h"
#include "TextFiles.h"

#include <windows.h>
#include <io.h>
#include <fcntl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

// The client log's ways with its files where Windows differs from a plain
// POSIX reading: the C runtime's appends need a lock around each line, and a
// lock, as the event that marks a file in use, ends with the process that
// held it.
namespace {

constexpr DWORD kTryExclusive = LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY;

HANDLE openFile(const std::string& path, DWORD disposition)
{
    return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

FILE* openStream(const std::string& path, DWORD disposition, int flags, const char* mode)
{
    HANDLE file = openFile(path, disposition);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), flags);
    return fd == -1 ? nullptr : _fdopen(fd, mode);
}

BOOL lockRange(HANDLE file, DWORD flags, DWORD offset, DWORD length)
{
    OVERLAPPED at{};
    at.Offset = offset;
    return LockFileEx(file, flags, 0, length, 0, &at);
}

// The last error a fresh CreateEventA of `name` sees; the handle is closed.
DWORD probeEvent(const std::string& name)
{
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, name.c_str());
    const DWORD error = GetLastError();
    EXPECT_NE(event, nullptr);
    CloseHandle(event);
    return error;
}

} // namespace

// Two threads, each with its own handle and stream, append 40 lines of 8193
// characters, every second one a newline (12290 bytes once translated), each
// line under an exclusive lock of the whole file, as appending writers need
// on Windows. Every line must arrive whole.
TEST(Files, longLinesOfTwoThreadsUnderLocksStayWholeAndDoubleTheirNewlines)
{
    TempDir dir;
    const std::string path = dir.file("long.log");
    auto lineOf = [](char c) {
        std::string line(8193, '\n');
        for (size_t i = 0; i < line.size(); i += 2)
            line[i] = c;
        return line;
    };
    auto writer = [&](char c) {
        FILE* stream = openStream(path, OPEN_ALWAYS, _O_TEXT | _O_APPEND, "atc");
        ASSERT_NE(stream, nullptr);
        HANDLE file = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
        const std::string line = lineOf(c);
        OVERLAPPED whole{};
        for (int i = 0; i < 40; ++i) {
            ASSERT_TRUE(LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, 0, &whole));
            fwrite(line.data(), 1, line.size(), stream);
            fflush(stream);
            ASSERT_TRUE(UnlockFileEx(file, 0, MAXDWORD, 0, &whole));
        }
        fclose(stream);
    };
    std::thread a(writer, 'a');
    std::thread b(writer, 'b');
    a.join();
    b.join();

    auto translated = [](std::string line) {
        for (size_t at = 0; (at = line.find('\n', at)) != std::string::npos; at += 2)
            line.insert(at, 1, '\r');
        return line;
    };
    const std::string content = readFile(path);
    const std::string lineA = translated(lineOf('a'));
    const std::string lineB = translated(lineOf('b'));
    ASSERT_EQ(content.size(), 80 * lineA.size());
    for (size_t at = 0; at < content.size(); at += lineA.size()) {
        const std::string piece = content.substr(at, lineA.size());
        ASSERT_TRUE(piece == lineA || piece == lineB) << "line at byte " << at << " is torn";
    }
}

// Child mode: holds the event ZUB_EVENT and an exclusive lock on bytes 0..99
// of ZUB_FILE, says so with the file ZUB_READY, and keeps both until killed.
TEST(FilesChild, DISABLED_holdLockAndEvent)
{
    const HANDLE event = CreateEventA(nullptr, FALSE, FALSE, std::getenv("ZUB_EVENT"));
    ASSERT_NE(event, nullptr);
    ASSERT_EQ(GetLastError(), ERROR_SUCCESS);
    ASSERT_TRUE(lockRange(openFile(std::getenv("ZUB_FILE"), OPEN_ALWAYS), kTryExclusive, 0, 100));
    writeFile(std::getenv("ZUB_READY"), "x");
    Sleep(60000);
}

TEST(Files, aLockAndAnEventHeldByAnotherProcessEndWhenItDies)
{
    TempDir dir;
    const std::string path = dir.file("existing.txt");
    const std::string event = "zubtest.event." + std::to_string(GetCurrentProcessId());
    ChildProcess child(
        ChildProcess::selfPath(),
        ChildProcess::testArguments("FilesChild.DISABLED_holdLockAndEvent"),
        {{"ZUB_FILE", path}, {"ZUB_EVENT", event}, {"ZUB_READY", dir.file("ready")}});
    ASSERT_TRUE(
        ChildProcess::waitUntil([&] { return std::filesystem::exists(dir.file("ready")); }, 20000));
    HANDLE file = openFile(path, OPEN_EXISTING);
    EXPECT_FALSE(lockRange(file, kTryExclusive, 99, 1));
    EXPECT_EQ(GetLastError(), ERROR_LOCK_VIOLATION);
    EXPECT_EQ(probeEvent(event), ERROR_ALREADY_EXISTS);
    child.kill();
    EXPECT_EQ(child.wait(20000), ChildProcess::kKilledExitCode);
    EXPECT_TRUE(lockRange(file, kTryExclusive, 99, 1));
    EXPECT_EQ(probeEvent(event), ERROR_SUCCESS);
    CloseHandle(file);
}
