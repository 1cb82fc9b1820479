#include "Observations.h"

#include <regex>
#include <sstream>

const std::vector<std::string>& Observations::lines(const std::string& source) const
{
    static const std::vector<std::string> kNone;
    const auto found = m_lines.find(source);
    return found == m_lines.end() ? kNone : found->second;
}

int Observations::count(const std::string& source, const std::string& pattern) const
{
    int matching = 0;
    for (const std::string& line : lines(source))
        matching += globMatches(pattern.c_str(), line.c_str()) ? 1 : 0;
    return matching;
}

std::string Observations::check(const std::string& answer) const
{
    static const std::regex kForm(
        R"((!?)(host|box|out|log|dbg|core|state|down)(?:#([0-9]+)|(\$))?: (.*))");
    std::smatch parts;
    if (!std::regex_match(answer, parts, kForm))
        return "malformed answer, or one on an unknown source: \"" + answer + "\"";
    if (!m_lines.count(parts[2]))
        return "not captured: " + answer;
    if (parts[4].matched) {
        const std::vector<std::string>& all = lines(parts[2]);
        return !all.empty() && globMatches(parts[5].str().c_str(), all.back().c_str())
                   ? ""
                   : "not the last line: " + answer;
    }
    const int found = count(parts[2], parts[5]);
    if (parts[1] == "!")
        return found == 0 ? "" : "unexpected " + answer;
    if (parts[3].matched)
        return found == std::stoi(parts[3]) ? ""
                                            : answer + " (found " + std::to_string(found) + ")";
    return found > 0 ? "" : "missing " + answer;
}

std::string Observations::dump() const
{
    std::ostringstream text;
    for (const auto& [source, lines] : m_lines)
        for (const std::string& line : lines)
            text << "  " << source << ": " << line.substr(0, 300)
                 << (line.size() > 300 ? "..." : "") << "\n";
    return text.str();
}

bool globMatches(const char* pattern, const char* text)
{
    // Iterative, with one remembered star: linear enough for lines of megabytes.
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*text) {
        if (*pattern == '*') {
            star = pattern++;
            resume = text;
        } else if (*pattern == '?' || *pattern == *text) {
            ++pattern;
            ++text;
        } else if (star) {
            pattern = star + 1;
            text = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0';
}
