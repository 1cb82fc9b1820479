#include "LogFixture.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <vector>

namespace {
constexpr int kProcesses = 4;
constexpr int kThreads = 4;
constexpr int kLines = 200; // of 2000 to 4000 characters: about 10 MB, three switches
constexpr size_t kBase = 2000;
} // namespace

// Lines are lost only when a switch truncates the file written two switches
// before, so what survives of each writer is its last lines, without a gap.
using SharedWriters = LogFixture;

TEST_F(SharedWriters, FourProcessesOfFourThreadsKeepEveryLineWholeAndInOrder)
{
    const auto began = std::chrono::steady_clock::now();
    // Writers start together: one that got going early (process start-up
    // varies by a second under Wine) would finish alone, and the others'
    // later switches would truncate its last lines.
    std::vector<std::unique_ptr<ChildProcess>> children;
    for (int process = 0; process < kProcesses; ++process) {
        children.push_back(startWriter(process * kThreads, kLines, kBase,
                                       {{"QORLOG_THREADS", std::to_string(kThreads)},
                                        {"QORLOG_GO", m_dir.file("go")},
                                        {"WINPORT_OBJECTS", m_dir.file("objects")}}));
    }
    std::ofstream(m_dir.file("go")).put('\n');
    for (auto& child : children)
        EXPECT_EQ(child->wait(180000), 0);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();

    int switches = 0;
    for (int process = 0; process < kProcesses; ++process) {
        int seen = 0;
        std::ifstream(m_dir.file("switches." + std::to_string(process * kThreads))) >> seen;
        EXPECT_GE(seen, 2) << "process " << process;
        switches += seen;
    }
    std::vector<NumberedLines> files;
    for (int index : {1, 2}) {
        const auto fileLines = lines(index);
        EXPECT_EQ(fileLines.back(), "") << "file " << index << " ends inside a line";
        files.push_back(surveyNumbered(fileLines, kBase));
    }
    // A writer that finished early may see its last lines truncated by the
    // others' later switches; one with lines in the file written last cannot.
    const NumberedLines* last = nullptr;
    if (files[0].newestStamp != files[1].newestStamp)
        last = files[0].newestStamp > files[1].newestStamp ? &files[0] : &files[1];
    std::map<int, std::set<int>> survivors;
    int onDisk = 0;
    int duplicated = 0;
    int disordered = 0; // a writer's line after a later one of its own in the same file
    for (const NumberedLines& found : files) {
        EXPECT_EQ(found.torn + found.others, 0);
        for (const auto& [writer, numbers] : found.numbers) {
            for (size_t i = 0; i < numbers.size(); ++i) {
                ++onDisk;
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
                kProcesses * kThreads * kLines, onDisk, switches, gaps, duplicated, disordered,
                unfinishedWriters, seconds);
    EXPECT_EQ(gaps, 0);
    EXPECT_EQ(duplicated, 0);
    EXPECT_EQ(disordered, 0);
    EXPECT_EQ(unfinishedWriters, 0);
    EXPECT_GT(truncatedWriters, 0) << "no file was truncated: too few switches";
}
