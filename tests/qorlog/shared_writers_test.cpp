#include "LogFixture.h"

#include "ChildProcess.h"
#include <libdruxclient/qorlog.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kProcesses = 4;
constexpr int kThreads = 4;
constexpr int kLines = 200;         // of 2000 to 4000 characters: about 10 MB, three switches
constexpr size_t kStampLength = 23; // "2024-03-05 14:07:09.042", sorts as text

std::string lineText(int writer, int number)
{
    const size_t length = 2000 + (number * 37 + writer * 101) % 2000;
    return "W" + std::to_string(writer) + " #" + std::to_string(number) + " " +
           std::string(length, static_cast<char>('a' + (writer + number) % 26));
}

// What the files hold of the writers' lines.
struct Survey
{
    std::map<int, std::set<int>> survivors; // writer -> line numbers
    int lines = 0;
    int torn = 0; // not a whole line of some writer
    int duplicated = 0;
    int disordered = 0; // a writer's line after a later one of its own in the same file
};

// The newest stamp of a file and whose lines it holds.
struct FileSurvey
{
    std::string newestStamp;
    std::set<int> writers;
};

FileSurvey surveyFile(const std::string& bytes, Survey& survey)
{
    FileSurvey file;
    const auto fileLines = splitLines(bytes);
    std::map<int, int> lastInFile;
    for (size_t i = 0; i + 1 < fileLines.size(); ++i) {
        const std::string& line = fileLines[i];
        const size_t at = line.find(" qorlog     W");
        int writer = -1;
        int number = -1;
        if (!stampedThisYear(line) || at == std::string::npos ||
            std::sscanf(line.c_str() + at + 12, "W%d #%d", &writer, &number) != 2 ||
            line.compare(at + 12, std::string::npos, lineText(writer, number)) != 0) {
            ++survey.torn;
            continue;
        }
        ++survey.lines;
        file.writers.insert(writer);
        file.newestStamp = std::max(file.newestStamp, line.substr(0, kStampLength));
        if (!survey.survivors[writer].insert(number).second)
            ++survey.duplicated;
        if (lastInFile.count(writer) && lastInFile[writer] >= number)
            ++survey.disordered;
        lastInFile[writer] = number;
    }
    if (!fileLines.back().empty())
        ++survey.torn;
    return file;
}

} // namespace

TEST(QorlogChild, DISABLED_writeNumberedLines)
{
    const std::string dir = std::getenv("QORLOG_DIR");
    const int process = std::atoi(std::getenv("QORLOG_PROCESS"));
    DebugCapture debug;
    qorlog* logger = qorlog::instance(dir.c_str(), nullptr, std::getenv("QORLOG_EVENTS"));
    std::ofstream(dir + "/ready." + std::to_string(process)).put('\n');
    ASSERT_TRUE(ChildProcess::waitUntil([&] { return fs::exists(dir + "/go"); }, 60000));

    std::vector<std::thread> threads;
    for (int thread = 0; thread < kThreads; ++thread) {
        threads.emplace_back([logger, writer = process * kThreads + thread] {
            for (int number = 0; number < kLines; ++number)
                logger->log("%s", lineText(writer, number).c_str());
        });
    }
    for (std::thread& thread : threads)
        thread.join();

    int opens = 0;
    for (const std::string& text : debug.lines())
        opens += text.find(" switch log file to ") != std::string::npos;
    std::ofstream(dir + "/switches." + std::to_string(process)) << opens - 1;
}

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
            ChildProcess::testArguments("QorlogChild.DISABLED_writeNumberedLines"),
            ChildProcess::Environment{
                {"QORLOG_DIR", dir.path()},
                {"QORLOG_PROCESS", std::to_string(process)},
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
                if (!fs::exists(dir.file("ready." + std::to_string(process))))
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
        std::ifstream(dir.file("switches." + std::to_string(process))) >> seen;
        EXPECT_GE(seen, 2) << "process " << process;
        switches += seen;
    }
    Survey survey;
    std::vector<FileSurvey> files;
    for (int index : {1, 2}) {
        std::ifstream in(dir.file("qorcore." + std::to_string(index) + ".txt"), std::ios::binary);
        files.push_back(surveyFile(
            std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()),
            survey));
    }
    // A writer that finished early may see its last lines truncated by the
    // others' later switches; one with lines in the file written last cannot.
    const FileSurvey* last = nullptr;
    if (files[0].newestStamp != files[1].newestStamp)
        last = files[0].newestStamp > files[1].newestStamp ? &files[0] : &files[1];
    int gaps = 0;
    int truncatedWriters = 0;
    int unfinishedWriters = 0; // in the file written last, without their last line
    for (const auto& [writer, numbers] : survey.survivors) {
        gaps += *numbers.rbegin() - *numbers.begin() + 1 - static_cast<int>(numbers.size());
        truncatedWriters += *numbers.begin() > 0;
        unfinishedWriters += last && last->writers.count(writer) && *numbers.rbegin() != kLines - 1;
    }
    std::printf(
        "lines written %d, on disk %d, switches seen %d, torn %d, overwritten or lost between "
        "survivors %d, duplicated %d, disordered %d, unfinished writers %d, %.2f s\n",
        kProcesses * kThreads * kLines, survey.lines, switches, survey.torn, gaps,
        survey.duplicated, survey.disordered, unfinishedWriters, seconds);
    EXPECT_EQ(survey.torn, 0);
    EXPECT_EQ(gaps, 0);
    EXPECT_EQ(survey.duplicated, 0);
    EXPECT_EQ(survey.disordered, 0);
    EXPECT_EQ(unfinishedWriters, 0);
    EXPECT_GT(truncatedWriters, 0) << "no file was truncated: too few switches";
}
