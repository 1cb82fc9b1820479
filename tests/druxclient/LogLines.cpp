#include "LogLines.h"

#include <algorithm>
#include <regex>

std::vector<std::string> loggedMessages(const DebugCapture& capture)
{
    // "yyyy-mm-dd hh:mm:ss.mmm <pid> <tid> <10-char tag> <message>\n"; a
    // debugger-only line's tag has 15 characters.
    static const std::regex kLogLine(
        R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} +\d+ +\d+ +[^ ]{10} ([^\n]*)\n?)");
    std::vector<std::string> messages;
    std::smatch line;
    for (const std::string& text : capture.lines()) {
        if (std::regex_match(text, line, kLogLine))
            messages.push_back(line[1]);
    }
    return messages;
}

int countLogged(const DebugCapture& capture, const std::string& message)
{
    const std::vector<std::string> messages = loggedMessages(capture);
    return static_cast<int>(std::count(messages.begin(), messages.end(), message));
}
