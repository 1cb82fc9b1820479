#include "LogFixture.h"

#include <algorithm>
#include <thread>
#include <vector>

class Switching : public LogFixture
{
protected:
    // Starts on a full file 1 and logs `text` while another writer holds file 2.
    void logWhileFileTwoIsHeld(const std::string& file2, const std::string& text)
    {
        write(1, std::string(kLimit, 'a'), 10);
        write(2, file2, 20);
        const HANDLE otherWriter = CreateEventA(nullptr, FALSE, FALSE, eventName(2).c_str());
        if (load())
            log(text);
        CloseHandle(otherWriter);
    }
};

TEST_F(Switching, AFullFileIsOpenedAndLeftAtTheFirstLine)
{
    write(1, std::string(kLimit, 'a'), 10);
    write(2, "stale\r\n", 20);
    ASSERT_TRUE(load());
    EXPECT_TRUE(debugContains("switch log file to " + loggerPath(1) + "\n"));
    log("moved");

    EXPECT_EQ(read(1).size(), kLimit);
    const auto file2 = lines(2);
    ASSERT_EQ(file2.size(), 2u);
    EXPECT_TRUE(endsWith(file2[0], " moved"));
    EXPECT_FALSE(eventHeld(1));
    EXPECT_TRUE(eventHeld(2));
}

TEST_F(Switching, TheLineThatCrossesTheLimitStaysAndTheNextOneSwitches)
{
    write(1, std::string(kLimit - 1, 'a'), 10);
    write(2, "stale\r\n", 20);
    ASSERT_TRUE(load());
    log("last of one");
    log("first of two");

    EXPECT_TRUE(endsWith(read(1), " last of one\r\n"));
    const auto file2 = lines(2);
    ASSERT_EQ(file2.size(), 2u);
    EXPECT_TRUE(endsWith(file2[0], " first of two"));
}

TEST_F(Switching, ThreadsThatMeetAFullFileTogetherSwitchOnce)
{
    write(1, std::string(kLimit, 'a'), 10);
    write(2, "stale\r\n", 20);
    ASSERT_TRUE(load());
    // A writer elsewhere is in the middle of a line in file 2: the first
    // switching thread waits for it, the other threads meet the full file 1.
    const HANDLE otherWriter = lockLines(2);
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i)
        threads.emplace_back([this, i] { log("thread " + std::to_string(i)); });
    Sleep(200);
    unlockLines(otherWriter);
    for (std::thread& thread : threads)
        thread.join();

    EXPECT_EQ(read(1).size(), kLimit);
    EXPECT_EQ(lines(2).size(), 9u);
    const auto debug = m_debug.lines();
    EXPECT_EQ(std::count_if(debug.begin(), debug.end(),
                            [](const std::string& text) {
                                return text.find(" switch log file to ") != std::string::npos;
                            }),
              2);
}

TEST_F(Switching, ATargetInUseElsewhereIsAppendedTo)
{
    logWhileFileTwoIsHeld("other writer\r\n", "joined");

    const auto file2 = lines(2);
    ASSERT_EQ(file2.size(), 3u);
    EXPECT_EQ(file2[0], "other writer");
    EXPECT_TRUE(endsWith(file2[1], " joined"));
    EXPECT_TRUE(debugContains("log file 2 we switched to has opened with '" + eventName(2) +
                              "', just append data onto it !"));
}

TEST_F(Switching, ATargetInUseElsewhereButOverTheLimitIsTruncated)
{
    logWhileFileTwoIsHeld(std::string(kLimit + 1, 'b'), "fresh");

    const auto file2 = lines(2);
    ASSERT_EQ(file2.size(), 2u);
    EXPECT_TRUE(endsWith(file2[0], " fresh"));
    EXPECT_TRUE(debugContains("the log file is too large to append to, force truncate !"));
}
