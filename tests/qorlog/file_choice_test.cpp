#include "LogFixture.h"

#include <filesystem>

namespace fs = std::filesystem;

using FileChoice = LogFixture;

TEST_F(FileChoice, WithoutFilesFileOneIsCreatedAndMarkedInUse)
{
    ASSERT_TRUE(load());
    log("first");

    const auto file1 = lines(1);
    ASSERT_EQ(file1.size(), 2u);
    EXPECT_TRUE(endsWith(file1[0], " first"));
    EXPECT_EQ(file1[1], "");
    EXPECT_FALSE(fs::exists(file(2)));
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

    const auto file2 = lines(2);
    ASSERT_EQ(file2.size(), 3u);
    EXPECT_EQ(file2[0], "newer");
    EXPECT_TRUE(endsWith(file2[1], " next"));
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

    EXPECT_EQ(lines(1).size(), 3u);
    EXPECT_EQ(read(2), "two\r\n");
}
