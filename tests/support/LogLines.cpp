#include "LogLines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <regex>

namespace {
// Where the writers of a log file lock: one byte at 2^62.
OVERLAPPED lineLockRange()
{
    OVERLAPPED range = {};
    range.OffsetHigh = 0x40000000;
    return range;
}
} // namespace

std::optional<StampedLine> parseStampedLine(const std::string& line)
{
    // Only the line's start is searched: lines may be megabytes long.
    static const std::regex kStart(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} +\d+ +\d+ +([^ ]+) )");
    std::smatch start;
    const std::string head = line.substr(0, 80);
    if (!std::regex_search(head, start, kStart))
        return std::nullopt;
    return StampedLine{start[1], line.substr(static_cast<size_t>(start.length()))};
}

bool stampedThisYear(const std::string& line)
{
    const std::time_t now = std::time(nullptr);
    return parseStampedLine(line) &&
           line.compare(0, 4, std::to_string(1900 + std::localtime(&now)->tm_year)) == 0;
}

std::vector<std::string> loggedMessages(const DebugCapture& capture)
{
    std::vector<std::string> messages;
    for (const std::string& text : capture.lines()) {
        const auto stamped = parseStampedLine(text);
        if (!stamped || stamped->tag.size() != 10)
            continue;
        std::string message = stamped->message;
        if (!message.empty() && message.back() == '\n')
            message.pop_back();
        if (message.find('\n') == std::string::npos)
            messages.push_back(message);
    }
    return messages;
}

int countLogged(const DebugCapture& capture, const std::string& message)
{
    const std::vector<std::string> messages = loggedMessages(capture);
    return static_cast<int>(std::count(messages.begin(), messages.end(), message));
}

HANDLE lockLinesOf(const std::string& path)
{
    const HANDLE handle =
        CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    OVERLAPPED range = lineLockRange();
    EXPECT_TRUE(LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &range));
    return handle;
}

void unlockLines(HANDLE file)
{
    OVERLAPPED range = lineLockRange();
    UnlockFileEx(file, 0, 1, 0, &range);
    CloseHandle(file);
}
