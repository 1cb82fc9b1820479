#include "FileWriters.h"

#include "ChildProcess.h"

#include <io.h>
#include <fcntl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeAll(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

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

void writeLine(FILE* stream, const std::string& line)
{
    fwrite(line.data(), 1, line.size(), stream);
    fflush(stream);
}

BOOL lockRange(HANDLE file, DWORD flags, DWORD offset, DWORD length)
{
    OVERLAPPED at{};
    at.Offset = offset;
    return LockFileEx(file, flags, 0, length, 0, &at);
}

BOOL unlockRange(HANDLE file, DWORD offset, DWORD length)
{
    OVERLAPPED at{};
    at.Offset = offset;
    return UnlockFileEx(file, 0, length, 0, &at);
}

void expectWholeLongLinesFromTwoThreads(const TempDir& dir, bool lock)
{
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
        for (int i = 0; i < 40; ++i) {
            if (lock) {
                ASSERT_TRUE(lockRange(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD));
            }
            writeLine(stream, lineOf(c));
            if (lock) {
                ASSERT_TRUE(unlockRange(file, 0, MAXDWORD));
            }
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
    const std::string content = readAll(path);
    const std::string lineA = translated(lineOf('a'));
    const std::string lineB = translated(lineOf('b'));
    ASSERT_EQ(content.size(), 80 * lineA.size());
    for (size_t at = 0; at < content.size(); at += lineA.size()) {
        const std::string piece = content.substr(at, lineA.size());
        ASSERT_TRUE(piece == lineA || piece == lineB) << "line at byte " << at << " is torn";
    }
}

// Child mode: appends ZUB_LINES numbered lines tagged ZUB_TAG to the file
// ZUB_FILE through an "atc" stream, each under an exclusive byte-range lock
// when ZUB_LOCK is 1, as a writer must on Windows.
TEST(FilesChild, DISABLED_appendLines)
{
    const std::string path = std::getenv("ZUB_FILE");
    const std::string tag = std::getenv("ZUB_TAG");
    const int lines = std::atoi(std::getenv("ZUB_LINES"));
    const bool lock = std::string(std::getenv("ZUB_LOCK")) == "1";
    FILE* stream = openStream(path, OPEN_ALWAYS, _O_TEXT | _O_APPEND, "atc");
    ASSERT_NE(stream, nullptr);
    HANDLE file = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    for (int i = 0; i < lines; ++i) {
        std::ostringstream line;
        line << tag << " " << i << " " << std::string(40 + i % 200, '.') << " end\n";
        if (lock) {
            ASSERT_TRUE(lockRange(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD));
        }
        writeLine(stream, line.str());
        if (lock) {
            ASSERT_TRUE(unlockRange(file, 0, MAXDWORD));
        }
    }
    EXPECT_EQ(fclose(stream), 0);
}

void expectWholeLinesFromTwoProcesses(const TempDir& dir, const char* lock)
{
    const std::string path = dir.file("shared.log");
    std::vector<std::unique_ptr<ChildProcess>> children;
    for (const char* tag : {"A", "B"}) {
        children.push_back(std::make_unique<ChildProcess>(
            ChildProcess::selfPath(),
            ChildProcess::testArguments("FilesChild.DISABLED_appendLines"),
            ChildProcess::Environment{
                {"ZUB_FILE", path}, {"ZUB_TAG", tag}, {"ZUB_LINES", "2000"}, {"ZUB_LOCK", lock}}));
    }
    for (auto& child : children)
        ASSERT_EQ(child->wait(120000), 0);

    std::istringstream content(readAll(path));
    std::set<std::string> seen;
    std::string line;
    while (std::getline(content, line)) {
        std::istringstream fields(line);
        std::string tag, dots, end;
        int number = -1;
        fields >> tag >> number >> dots >> end;
        ASSERT_EQ(line, tag + " " + std::to_string(number) + " " +
                            std::string(40 + number % 200, '.') + " end\r")
            << "a torn line";
        seen.insert(tag + std::to_string(number));
    }
    EXPECT_EQ(seen.size(), 4000u);
}
