#include "LogFixture.h"

#include <filesystem>

using FileChoice = LogFixture;

TEST_F(FileChoice, WithoutFilesFileOneIsCreatedAndMarkedInUse)
{
    ASSERT_TRUE(load());
    log("first");

    EXPECT_THAT(lines(1), ElementsAre(EndsWith(" first"), ""));
    EXPECT_FALSE(std::filesystem::exists(file(2)));
    EXPECT_TRUE(eventHeld(1));
    EXPECT_FALSE(eventHeld(2));
    EXPECT_TRUE(
        debugContains("write qorcore to directory: " + m_dir.path() + ", event: " + m_eventBase));
    EXPECT_TRUE(debugContains("switch log file to " + loggerPath(1) + "\n"));
}

TEST_F(FileChoice, TheNewerFileTwoIsContinued)
{
    write(1, "older\r\n", 20);
    write(2, "newer\r\n", 10);
    ASSERT_TRUE(load());
    log("next");

    EXPECT_THAT(lines(2), ElementsAre("newer", EndsWith(" next"), ""));
    EXPECT_EQ(read(1), "older\r\n");
    EXPECT_TRUE(eventHeld(2));
    EXPECT_FALSE(eventHeld(1));
}

TEST_F(FileChoice, FileOneWinsATie)
{
    write(1, "one\r\n", 10);
    write(2, "two\r\n", 10);
    ASSERT_TRUE(load());
    log("next");

    EXPECT_THAT(lines(1), ElementsAre("one", EndsWith(" next"), ""));
    EXPECT_EQ(read(2), "two\r\n");
}
