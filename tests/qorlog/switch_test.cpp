#include "LogFixture.h"

#include <thread>
#include <vector>

using testing::AnyOf;
using testing::Contains;
using testing::Each;
using testing::HasSubstr;
using testing::IsEmpty;

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

TEST_F(Switching, AFullFileIsOpenedAndLeftOnceAtTheFirstLinesOfThreadsThatMeetIt)
{
    write(1, std::string(kLimit, 'a'), 10);
    write(2, "stale\r\n", 20);
    ASSERT_TRUE(load());
    EXPECT_TRUE(debugContains("switch log file to " + loggerPath(1) + "\n"));
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
    EXPECT_THAT(lines(2), Each(AnyOf(HasSubstr(" thread "), IsEmpty())));
    EXPECT_FALSE(eventHeld(1));
    EXPECT_TRUE(eventHeld(2));
    EXPECT_THAT(m_debug.lines(), Contains(HasSubstr(" switch log file to ")).Times(2));
}

TEST_F(Switching, TheLineThatCrossesTheLimitStaysAndTheNextOneSwitches)
{
    write(1, std::string(kLimit - 1, 'a'), 10);
    write(2, "stale\r\n", 20);
    ASSERT_TRUE(load());
    log("last of one");
    log("first of two");

    EXPECT_THAT(read(1), EndsWith(" last of one\r\n"));
    EXPECT_THAT(lines(2), ElementsAre(EndsWith(" first of two"), ""));
}

TEST_F(Switching, ATargetInUseElsewhereIsAppendedTo)
{
    logWhileFileTwoIsHeld("other writer\r\n", "joined");

    EXPECT_THAT(lines(2), ElementsAre("other writer", EndsWith(" joined"), ""));
    EXPECT_TRUE(debugContains("log file 2 we switched to has opened with '" + eventName(2) +
                              "', just append data onto it !"));
}

TEST_F(Switching, ATargetInUseElsewhereButOverTheLimitIsTruncated)
{
    logWhileFileTwoIsHeld(std::string(kLimit + 1, 'b'), "fresh");

    EXPECT_THAT(lines(2), ElementsAre(EndsWith(" fresh"), ""));
    EXPECT_TRUE(debugContains("the log file is too large to append to, force truncate !"));
}
