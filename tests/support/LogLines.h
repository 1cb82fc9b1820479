#pragma once
#include "DebugCapture.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// A log line: "yyyy-mm-dd hh:mm:ss.mmm <pid> <tid> <tag> <message>", in the
// file with a 10-character tag, at the debugger also with a 15-character one.
struct StampedLine
{
    std::string tag; // without its padding
    std::string message;
};
std::optional<StampedLine> parseStampedLine(const std::string& line);
// Whether `line` is a log line stamped in this year.
bool stampedThisYear(const std::string& line);

// The messages of the client log's stamped lines that a capture saw, in
// order, without stamp, ids, module tag or line end. Debugger-only lines are
// left out (told apart by their longer tag: the test's module name must be
// longer than 10 characters).
std::vector<std::string> loggedMessages(const DebugCapture& capture);
// How many captured log lines carry exactly `message`.
int countLogged(const DebugCapture& capture, const std::string& message);

// Takes the lock that every writer of a log file holds around a line, as a
// writer of another process does; unlockLines releases and closes.
HANDLE lockLinesOf(const std::string& path);
void unlockLines(HANDLE file);
