#include "LogFixture.h"

#include "ChildProcess.h"
#include "TextFiles.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <vector>

namespace fs = std::filesystem;

namespace {
constexpr int kProcesses = 4;
constexpr int kThreads = 4;
constexpr int kLines = 200; // of 2000 to 4000 characters: about 10 MB, three switches
constexpr size_t kBase = 2000;
} // namespace

// Lines are lost only when a switch truncates the file written two switches
// before, so what survives of each writer is its last lines, without a gap.
TEST(SharedWriters, FourProcessesOfFourThreadsKeepEveryLineWholeAndInOrder)
{
    TempDir dir;
    const auto began = std::chrono::steady_clock::now();
    std::vector<std::unique_ptr<ChildProcess>> children;
    for (int process = 0; process < kProcesses; ++process) {
        children.push_back(std::make_unique<ChildProcess>(
            ChildProcess::selfPath(),
            ChildProcess::testArguments("QorlogChild.DISABLED_writeNumbered"),
            ChildProcess::Environment{
                {"QORLOG_DIR", dir.path()},
                {"QORLOG_WRITER", std::to_string(process * kThreads)},
                {"QORLOG_THREADS", std::to_string(kThreads)},
                {"QORLOG_LINES", std::to_string(kLines)},
                {"QORLOG_BASE", std::to_string(kBase)},
                {"QORLOG_GO", dir.file("go")},
                {"QORLOG_EVENTS", "qorlogshared-" + fs::path(dir.path()).filename().string()},
                {"WINPORT_OBJECTS", dir.file("objects")}}));
        ASSERT_TRUE(children.back()->started());
    }
    // Writers start together: one that got going early (process start-up
    // varies by a second under Wine) would finish alone, and the others'
    // later switches would truncate its last lines.
    ASSERT_TRUE(ChildProcess::waitUntil(
        [&] {
            for (int process = 0; process < kProcesses; ++process) {
                if (!fs::exists(dir.file("ready." + std::to_string(process * kThreads))))
                    return false;
            }
            return true;
        },
        60000));
    std::ofstream(dir.file("go")).put('\n');
    for (auto& child : children)
        EXPECT_EQ(child->wait(180000), 0);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();

    int switches = 0;
    for (int process = 0; process < kProcesses; ++process) {
        int seen = 0;
        std::ifstream(dir.file("switches." + std::to_string(process * kThreads))) >> seen;
        EXPECT_GE(seen, 2) << "process " << process;
        switches += seen;
    }
    std::vector<NumberedLines> files;
    for (int index : {1, 2}) {
        const auto fileLines =
            splitLines(readFile(dir.file("qorcore." + std::to_string(index) + ".txt")));
        EXPECT_EQ(fileLines.back(), "") << "file " << index << " ends inside a line";
        files.push_back(surveyNumbered(fileLines, kBase));
    }
    // A writer that finished early may see its last lines truncated by the
    // others' later switches; one with lines in the file written last cannot.
    const NumberedLines* last = nullptr;
    if (files[0].newestStamp != files[1].newestStamp)
        last = files[0].newestStamp > files[1].newestStamp ? &files[0] : &files[1];
    std::map<int, std::set<int>> survivors;
    int lines = 0;
    int duplicated = 0;
    int disordered = 0; // a writer's line after a later one of its own in the same file
    for (const NumberedLines& file : files) {
        EXPECT_EQ(file.torn + file.others, 0);
        for (const auto& [writer, numbers] : file.numbers) {
            for (size_t i = 0; i < numbers.size(); ++i) {
                ++lines;
                duplicated += !survivors[writer].insert(numbers[i]).second;
                disordered += i > 0 && numbers[i - 1] >= numbers[i];
            }
        }
    }
    int gaps = 0;
    int truncatedWriters = 0;
    int unfinishedWriters = 0; // in the file written last, without their last line
    for (const auto& [writer, numbers] : survivors) {
        gaps += *numbers.rbegin() - *numbers.begin() + 1 - static_cast<int>(numbers.size());
        truncatedWriters += *numbers.begin() > 0;
        unfinishedWriters += last && last->numbers.count(writer) && *numbers.rbegin() != kLines - 1;
    }
    std::printf("lines written %d, on disk %d, switches seen %d, overwritten or lost between "
                "survivors %d, duplicated %d, disordered %d, unfinished writers %d, %.2f s\n",
                kProcesses * kThreads * kLines, lines, switches, gaps, duplicated, disordered,
                unfinishedWriters, seconds);
    EXPECT_EQ(gaps, 0);
    EXPECT_EQ(duplicated, 0);
    EXPECT_EQ(disordered, 0);
    EXPECT_EQ(unfinishedWriters, 0);
    EXPECT_GT(truncatedWriters, 0) << "no file was truncated: too few switches";
}
