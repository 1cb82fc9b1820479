#pragma once
#include <map>
#include <string>
#include <vector>

// What a host process left behind, source by source (see FaultCase.h), each
// as lines in a form that answers can be matched against.
class Observations
{
public:
    // The source was looked at, even if it holds no line; its lines to fill.
    std::vector<std::string>& capture(const std::string& source) { return m_lines[source]; }
    const std::vector<std::string>& lines(const std::string& source) const;

    // Lines of `source` that match the glob `pattern` (`*` any text, `?` one character).
    int count(const std::string& source, const std::string& pattern) const;
    // Empty when the answer (see FaultCase.h) holds, else why not.
    std::string check(const std::string& answer) const;
    // Every line, source by source, for a failure message.
    std::string dump() const;

private:
    std::map<std::string, std::vector<std::string>> m_lines;
};

bool globMatches(const char* pattern, const char* text);
