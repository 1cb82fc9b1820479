#include "LogLines.h"

#include <algorithm>
#include <cctype>

namespace {

// "yyyy-mm-dd hh:mm:ss.mmm <pid> <tid> <10-char tag> <message>\n"
bool messageOf(const std::string& line, std::string& message)
{
    const size_t stampLength = 24; // date, time and the blank after them
    if (line.size() < stampLength || line[4] != '-' || line[13] != ':')
        return false;
    // The ids are printed "%-5d " each: padded to five, then one blank.
    size_t at = stampLength;
    for (int field = 0; field < 2; ++field) {
        const size_t start = at;
        while (at < line.size() && std::isdigit(static_cast<unsigned char>(line[at])))
            ++at;
        at = std::max(at, start + 5) + 1;
    }
    // Debugger-only lines carry a 15-character tag: with a module name longer
    // than 10 characters, a blank right after 10 marks a log line.
    const size_t tagLength = 10;
    if (at + tagLength + 1 > line.size() || line[at + tagLength] != ' ')
        return false;
    message = line.substr(at + tagLength + 1);
    if (!message.empty() && message.back() == '\n')
        message.pop_back();
    return true;
}

} // namespace

std::vector<std::string> loggedMessages(const DebugCapture& capture)
{
    std::vector<std::string> messages;
    std::string message;
    for (const std::string& line : capture.lines()) {
        if (messageOf(line, message))
            messages.push_back(message);
    }
    return messages;
}

int countLogged(const DebugCapture& capture, const std::string& message)
{
    const std::vector<std::string> messages = loggedMessages(capture);
    return static_cast<int>(std::count(messages.begin(), messages.end(), message));
}
