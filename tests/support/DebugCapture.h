#pragma once
#include <mutex>
#include <string>
#include <vector>

// Captures what this process sends to the debugger (OutputDebugStringA)
// from construction to destruction, from any thread. Several captures may be
// alive at once; each sees every text.
class DebugCapture
{
public:
    DebugCapture();
    ~DebugCapture();
    DebugCapture(const DebugCapture&) = delete;
    DebugCapture& operator=(const DebugCapture&) = delete;

    // Each text as it was sent (a trailing "\n" stays), in order of arrival.
    std::vector<std::string> lines() const;
    // Whether some captured text contains `text`.
    bool contains(const std::string& text) const;
    void clear();
    // Writes every text so far to `path`, one a line, and appends each later
    // one as it comes: for a process that ends without a word, whose
    // libraries still speak at their detach.
    void recordTo(const std::string& path);

    // Called by the platform hook for every text; not for tests to call.
    void add(const char* text);

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_lines;
    std::string m_record;
};
