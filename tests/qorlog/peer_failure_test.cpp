#include "LogFixture.h"

#include "ChildProcess.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>

namespace fs = std::filesystem;

namespace {
constexpr size_t kBase = 200;
} // namespace

class PeerFailures : public LogFixture
{
protected:
    ChildProcess::Environment writerEnvironment(int writer, int lines) const
    {
        return {{"QORLOG_DIR", m_dir.path()},
                {"QORLOG_WRITER", std::to_string(writer)},
                {"QORLOG_LINES", std::to_string(lines)},
                {"QORLOG_BASE", std::to_string(kBase)},
                {"QORLOG_EVENTS", m_eventBase}};
    }

    std::unique_ptr<ChildProcess> startWriter(int writer, int lines, const std::string& go)
    {
        auto environment = writerEnvironment(writer, lines);
        environment.emplace_back("QORLOG_GO", m_dir.file(go));
        auto child = std::make_unique<ChildProcess>(
            ChildProcess::selfPath(),
            ChildProcess::testArguments("QorlogChild.DISABLED_writeNumbered"), environment);
        EXPECT_TRUE(child->started());
        EXPECT_TRUE(ChildProcess::waitUntil(
            [&] { return fs::exists(m_dir.file("ready." + std::to_string(writer))); }, 60000));
        return child;
    }

    double delayOf(int writer) const
    {
        double seconds = -1;
        std::ifstream(m_dir.file("delay." + std::to_string(writer))) >> seconds;
        return seconds;
    }
};

// While the peer sleeps on the lock, the live writers exclude each other on
// the next one; resumed, the peer joins them there.
TEST_F(PeerFailures, LiveWritersBesideAPeerFrozenWithTheLineLockKeepEveryLineWaitingOnce)
{
    constexpr int kLines = 1000;
    constexpr int kPeerLines = 300;
    auto environment = writerEnvironment(2, kPeerLines);
    environment.emplace_back("QORLOG_FILE", file(1));
    ChildProcess peer(ChildProcess::selfPath(),
                      ChildProcess::testArguments("QorlogChild.DISABLED_writeNumbered"),
                      environment);
    ASSERT_TRUE(ChildProcess::waitUntil([&] { return fs::exists(file(1) + ".locked"); }, 60000));
    auto first = startWriter(0, kLines, "go");
    auto second = startWriter(1, kLines, "go");
    std::ofstream(m_dir.file("go")).put('\n');
    EXPECT_TRUE(ChildProcess::waitUntil(
        [&] { return read(1).find(numbered(0, kLines / 2, kBase)) != std::string::npos; }, 120000));
    peer.resume();
    EXPECT_EQ(first->wait(120000), 0);
    EXPECT_EQ(second->wait(120000), 0);
    EXPECT_EQ(peer.wait(120000), 0);

    const auto survey = surveyNumbered(lines(1), kBase);
    const auto& found = survey.numbers;
    EXPECT_EQ(survey.torn, 0);
    for (const auto& [writer, count] : {std::pair{0, kLines}, {1, kLines}, {2, kPeerLines}}) {
        ASSERT_EQ(found.count(writer), 1u) << "writer " << writer;
        const std::set<int> distinct(found.at(writer).begin(), found.at(writer).end());
        EXPECT_EQ(distinct.size(), static_cast<size_t>(count)) << "writer " << writer;
        EXPECT_EQ(found.at(writer).size(), static_cast<size_t>(count)) << "writer " << writer;
    }
    std::printf("lines on disk: %zu, %zu and the peer's %zu; waited %.2f s and %.2f s\n",
                found.at(0).size(), found.at(1).size(), found.at(2).size(), delayOf(0), delayOf(1));
    for (int writer : {0, 1}) {
        EXPECT_GE(delayOf(writer), 0.4) << "writer " << writer << " never met the frozen lock";
        EXPECT_LT(delayOf(writer), 5.0) << "writer " << writer;
    }
}

// One writer is killed at a file switch, another in the middle of its lines:
// the two others keep every line, and the next logger starts as usual.
TEST_F(PeerFailures, WritersKilledAtASwitchAndMidLinesCostOnlyTheirOwnLines)
{
    write(1, std::string(kLimit, 'a'), 10);
    write(2, "stale\r\n", 20);
    // The first writer's first line switches to file 2 and waits there for
    // the line lock that guards the truncation: it dies inside the switch.
    const HANDLE holder = lockLines(2);
    auto atSwitch = startWriter(9, 1000, "go.switch");
    std::ofstream(m_dir.file("go.switch")).put('\n');
    Sleep(200);
    atSwitch->kill();
    EXPECT_EQ(atSwitch->wait(10000), ChildProcess::kKilledExitCode);
    unlockLines(holder);

    constexpr int kLines = 300;
    auto first = startWriter(0, kLines, "go");
    auto second = startWriter(1, kLines, "go");
    auto midLines = startWriter(2, 100000, "go");
    std::ofstream(m_dir.file("go")).put('\n');
    EXPECT_TRUE(ChildProcess::waitUntil(
        [&] { return read(2).find(numbered(2, 50, kBase)) != std::string::npos; }, 60000));
    midLines->kill();
    EXPECT_EQ(first->wait(120000), 0);
    EXPECT_EQ(second->wait(120000), 0);

    const auto survey = surveyNumbered(lines(2), kBase);
    const auto& found = survey.numbers;
    EXPECT_LE(survey.torn, 1) << "only the killed writer's last line may be cut";
    for (int writer : {0, 1}) {
        ASSERT_EQ(found.count(writer), 1u) << "writer " << writer;
        EXPECT_EQ(found.at(writer).size(), static_cast<size_t>(kLines)) << "writer " << writer;
        EXPECT_EQ(std::set<int>(found.at(writer).begin(), found.at(writer).end()).size(),
                  static_cast<size_t>(kLines));
    }
    EXPECT_EQ(read(2).find("stale"), std::string::npos);
    EXPECT_EQ(read(1).size(), kLimit);

    ASSERT_TRUE(load());
    log("next process");
    const auto after = lines(2);
    ASSERT_GE(after.size(), 2u);
    EXPECT_TRUE(endsWith(after[after.size() - 2], " next process"));
}
