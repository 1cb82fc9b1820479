#pragma once
#include "ChildProcess.h"
#include "DebugCapture.h"
#include "LogLines.h"
#include "TempDir.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

using testing::ElementsAre;
using testing::EndsWith;

// A fresh folder with presence events of its own, the debugger output, and
// the probe module: each load of it holds a fresh logger writing
// qorcore.<n>.txt into the folder.
class LogFixture : public ::testing::Test
{
protected:
    static constexpr size_t kLimit = 0x300000;

    LogFixture();
    ~LogFixture() override;

    // False (with a failure recorded) when the probe does not load.
    bool load();
    void log(const std::string& text);
    void logW(const std::wstring& text);
    void unload();

    // The file as the test reads it, and as the logger names it.
    std::string file(int index) const;
    std::string loggerPath(int index) const;
    std::string eventName(int index) const
    {
        return m_eventBase + ".event." + std::to_string(index);
    }
    // Whether some handle of the file's presence event is open.
    bool eventHeld(int index) const;

    HANDLE lockLines(int index) const { return lockLinesOf(file(index)); }

    std::string read(int index) const;
    // Modified `secondsAgo` before the fixture began: equal ages, equal times.
    void write(int index, const std::string& bytes, int secondsAgo) const;
    // The file's lines without their CR LF; a tail without one is the last element.
    std::vector<std::string> lines(int index) const;
    bool debugContains(const std::string& text) const { return m_debug.contains(text); }
    // A writer process of the folder's log (QorlogChild.DISABLED_writeNumbered)
    // with `settings` besides those of its writers, once it is ready.
    std::unique_ptr<ChildProcess> startWriter(int first, int lines, size_t base,
                                              ChildProcess::Environment settings) const;

    TempDir m_dir;
    DebugCapture m_debug;
    std::string m_eventBase;

private:
    std::filesystem::file_time_type m_start;
    HMODULE m_module = nullptr;
};

// "pid   tid   " as a line stamps this thread.
std::string idsOfThisThread();

// Writer `writer`'s line `number`: "W<writer> #<number> " and `base` to
// 2 * `base` letters, so that a whole line tells itself from a torn one.
std::string numbered(int writer, int number, size_t base);
// What log lines hold of numbered lines of the given base.
struct NumberedLines
{
    std::map<int, std::vector<int>> numbers; // writer -> its whole lines' numbers, in file order
    int torn = 0;                            // a writer's line, but not whole and stamped
    int others = 0;                          // not empty and no writer's line at all
    std::string newestStamp;                 // "YYYY-MM-DD hh:mm:ss.mmm" sorts as text
};
NumberedLines surveyNumbered(const std::vector<std::string>& lines, size_t base);
