#pragma once
#include <map>
#include <string>
#include <vector>

// What a host process left behind, source by source (see FaultCase.h), each
// as lines in a form that answers can be matched against.
class Observations
{
public:
    // Whether `source` is one that answers may name.
    static bool known(const std::string& source);
    // The source was looked at, even if it holds no line.
    void capture(const std::string& source) { m_lines[source]; }
    void add(const std::string& source, std::string line);
    const std::vector<std::string>& lines(const std::string& source) const;

    // Lines of `source` that match the glob `pattern` (`*` any text, `?` one character).
    int count(const std::string& source, const std::string& pattern) const;
    // Empty when the answer ("[!]source[#N]: pattern") holds, else why not;
    // an answer on a source that is not known or was not captured never holds.
    std::string check(const std::string& answer) const;
    // Every line, source by source, for a failure message.
    std::string dump() const;

private:
    std::map<std::string, std::vector<std::string>> m_lines;
};

bool globMatches(const char* pattern, const char* text);
