#include "LogFixture.h"

#include "ChildProcess.h"
#include <libdruxclient/qorlog.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>

namespace fs = std::filesystem;

namespace {

const char* const kTimeOutNotice = "log line lock not granted within 500 ms";

std::string numbered(int writer, int number)
{
    return "K" + std::to_string(writer) + " #" + std::to_string(number) + " " +
           std::string(400, static_cast<char>('a' + writer));
}

// Writer -> the numbers of its whole lines in `lines`; anything else is counted as torn.
std::map<int, std::multiset<int>> survey(const std::vector<std::string>& lines, int& torn)
{
    std::map<int, std::multiset<int>> found;
    for (const std::string& line : lines) {
        const size_t at = line.find(" K");
        int writer = -1;
        int number = -1;
        if (at == std::string::npos ||
            std::sscanf(line.c_str() + at + 1, "K%d #%d", &writer, &number) != 2 ||
            !stampedThisYear(line) ||
            line.compare(at + 1, std::string::npos, numbered(writer, number)) != 0) {
            torn += !line.empty() && line.find(" K") != std::string::npos;
            continue;
        }
        found[writer].insert(number);
    }
    return found;
}

} // namespace

// Holds the line lock of QORLOG_FILE, says so, and freezes with it.
TEST(QorlogChild, DISABLED_holdLineLockAndFreeze)
{
    const std::string path = std::getenv("QORLOG_FILE");
    const HANDLE file = LogFixture::lockLinesOf(path);
    std::ofstream(path + ".locked").put('\n');
    ChildProcess::freezeThisProcess();
    LogFixture::unlockLines(file);
}

// Writes QORLOG_LINES numbered lines as writer QORLOG_WRITER once QORLOG_GO exists.
TEST(QorlogChild, DISABLED_writeNumbered)
{
    const std::string dir = std::getenv("QORLOG_DIR");
    const int writer = std::atoi(std::getenv("QORLOG_WRITER"));
    const int lines = std::atoi(std::getenv("QORLOG_LINES"));
    qorlog* logger = qorlog::instance(dir.c_str(), nullptr, std::getenv("QORLOG_EVENTS"));
    std::ofstream(dir + "/ready." + std::to_string(writer)).put('\n');
    const std::string go = std::getenv("QORLOG_GO");
    ASSERT_TRUE(ChildProcess::waitUntil([&] { return fs::exists(go); }, 60000));
    for (int number = 0; number < lines; ++number)
        logger->log("%s", numbered(writer, number).c_str());
}

class PeerFailures : public LogFixture
{
protected:
    std::unique_ptr<ChildProcess> startWriter(int writer, int lines, const std::string& go)
    {
        auto child = std::make_unique<ChildProcess>(
            ChildProcess::selfPath(),
            ChildProcess::testArguments("QorlogChild.DISABLED_writeNumbered"),
            ChildProcess::Environment{{"QORLOG_DIR", m_dir.path()},
                                      {"QORLOG_WRITER", std::to_string(writer)},
                                      {"QORLOG_LINES", std::to_string(lines)},
                                      {"QORLOG_EVENTS", m_eventBase},
                                      {"QORLOG_GO", m_dir.file(go)}});
        EXPECT_TRUE(child->started());
        EXPECT_TRUE(ChildProcess::waitUntil(
            [&] { return fs::exists(m_dir.file("ready." + std::to_string(writer))); }, 60000));
        return child;
    }

    int timeOuts() const
    {
        int count = 0;
        for (const std::string& text : m_debug.lines())
            count += text.find(kTimeOutNotice) != std::string::npos;
        return count;
    }
};

TEST_F(PeerFailures, APeerFrozenWithTheLineLockCostsOneBoundedWaitAndNoLine)
{
    ASSERT_TRUE(load());
    log("before the peer");
    ChildProcess peer(ChildProcess::selfPath(),
                      ChildProcess::testArguments("QorlogChild.DISABLED_holdLineLockAndFreeze"),
                      {{"QORLOG_FILE", file(1)}});
    ASSERT_TRUE(ChildProcess::waitUntil([&] { return fs::exists(file(1) + ".locked"); }, 60000));

    const auto began = std::chrono::steady_clock::now();
    for (int number = 0; number < 1000; ++number)
        log(numbered(0, number));
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    peer.kill();
    peer.wait(10000);

    int torn = 0;
    const auto found = survey(lines(1), torn);
    std::printf("1000 lines beside a frozen peer in %.2f s\n", seconds);
    EXPECT_EQ(torn, 0);
    ASSERT_EQ(found.count(0), 1u);
    EXPECT_EQ(found.at(0).size(), 1000u);
    EXPECT_EQ(std::set<int>(found.at(0).begin(), found.at(0).end()).size(), 1000u);
    EXPECT_EQ(timeOuts(), 1);
    EXPECT_GE(seconds, 0.5);
    EXPECT_LT(seconds, 20.0);

    // Once the lock is granted again, a writer waits for it again.
    log("the peer is gone");
    const HANDLE holder = lockLines(1);
    log("held here");
    unlockLines(holder);
    EXPECT_EQ(timeOuts(), 2);
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
        [&] { return read(2).find(numbered(2, 50)) != std::string::npos; }, 60000));
    midLines->kill();
    EXPECT_EQ(first->wait(120000), 0);
    EXPECT_EQ(second->wait(120000), 0);

    int torn = 0;
    const auto found = survey(lines(2), torn);
    EXPECT_LE(torn, 1) << "only the killed writer's last line may be cut";
    for (int writer : {0, 1}) {
        ASSERT_EQ(found.count(writer), 1u) << "writer " << writer;
        EXPECT_EQ(found.at(writer).size(), static_cast<size_t>(kLines)) << "writer " << writer;
        EXPECT_EQ(*found.at(writer).rbegin(), kLines - 1);
    }
    EXPECT_EQ(read(2).find("stale"), std::string::npos);
    EXPECT_EQ(read(1).size(), kLimit);

    ASSERT_TRUE(load());
    log("next process");
    const auto after = lines(2);
    ASSERT_GE(after.size(), 2u);
    EXPECT_TRUE(endsWith(after[after.size() - 2], " next process"));
}
