#include "LogFixture.h"

#include <cstdio>
#include <fstream>
#include <numeric>

namespace {

constexpr size_t kBase = 200;

std::vector<int> firstNumbers(int count)
{
    std::vector<int> numbers(static_cast<size_t>(count));
    std::iota(numbers.begin(), numbers.end(), 0);
    return numbers;
}

} // namespace

class PeerFailures : public LogFixture
{
protected:
    double delayOf(int writer) const
    {
        double seconds = -1;
        std::ifstream(m_dir.file("delay." + std::to_string(writer))) >> seconds;
        return seconds;
    }

    // Writers that start once the file `name` exists.
    ChildProcess::Environment goAt(const std::string& name) const
    {
        return {{"QORLOG_GO", m_dir.file(name)}};
    }
};

// While the peer sleeps on the lock, the live writers exclude each other on
// the next one; resumed, the peer joins them there.
TEST_F(PeerFailures, LiveWritersBesideAPeerFrozenWithTheLineLockKeepEveryLineWaitingOnce)
{
    constexpr int kLines = 1000;
    constexpr int kPeerLines = 300;
    auto peer = startWriter(2, kPeerLines, kBase, {{"QORLOG_FILE", file(1)}});
    auto first = startWriter(0, kLines, kBase, goAt("go"));
    auto second = startWriter(1, kLines, kBase, goAt("go"));
    std::ofstream(m_dir.file("go")).put('\n');
    EXPECT_TRUE(ChildProcess::waitUntil(
        [&] { return read(1).find(numbered(0, kLines / 2, kBase)) != std::string::npos; }, 120000));
    peer->resume();
    EXPECT_EQ(first->wait(120000), 0);
    EXPECT_EQ(second->wait(120000), 0);
    EXPECT_EQ(peer->wait(120000), 0);

    auto survey = surveyNumbered(lines(1), kBase);
    EXPECT_EQ(survey.torn, 0);
    for (const auto& [writer, count] : {std::pair{0, kLines}, {1, kLines}, {2, kPeerLines}})
        EXPECT_EQ(survey.numbers[writer], firstNumbers(count)) << "writer " << writer;
    std::printf("lines on disk: %zu, %zu and the peer's %zu; waited %.2f s and %.2f s\n",
                survey.numbers[0].size(), survey.numbers[1].size(), survey.numbers[2].size(),
                delayOf(0), delayOf(1));
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
    auto atSwitch = startWriter(9, 1000, kBase, goAt("go.switch"));
    std::ofstream(m_dir.file("go.switch")).put('\n');
    Sleep(200);
    atSwitch->kill();
    EXPECT_EQ(atSwitch->wait(10000), ChildProcess::kKilledExitCode);
    unlockLines(holder);

    constexpr int kLines = 300;
    auto first = startWriter(0, kLines, kBase, goAt("go"));
    auto second = startWriter(1, kLines, kBase, goAt("go"));
    auto midLines = startWriter(2, 100000, kBase, goAt("go"));
    std::ofstream(m_dir.file("go")).put('\n');
    EXPECT_TRUE(ChildProcess::waitUntil(
        [&] { return read(2).find(numbered(2, 50, kBase)) != std::string::npos; }, 60000));
    midLines->kill();
    EXPECT_EQ(first->wait(120000), 0);
    EXPECT_EQ(second->wait(120000), 0);

    auto survey = surveyNumbered(lines(2), kBase);
    EXPECT_LE(survey.torn, 1) << "only the killed writer's last line may be cut";
    for (int writer : {0, 1})
        EXPECT_EQ(survey.numbers[writer], firstNumbers(kLines)) << "writer " << writer;
    EXPECT_EQ(read(2).find("stale"), std::string::npos);
    EXPECT_EQ(read(1).size(), kLimit);

    ASSERT_TRUE(load());
    log("next process");
    const auto after = lines(2);
    ASSERT_GE(after.size(), 2u);
    EXPECT_THAT(after[after.size() - 2], EndsWith(" next process"));
}
