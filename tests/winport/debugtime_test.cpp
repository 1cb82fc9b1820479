#include "ChildProcess.h"
#include "DebugCapture.h"
#include "TempDir.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <ctime>
#include <fstream>
#include <set>
#include <thread>
#include <vector>

TEST(DebugOutput, capturesEveryTextOfEveryThreadInEachLiveCapture)
{
    DebugCapture outer;
    {
        DebugCapture inner;
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([t] {
                for (int i = 0; i < 100; ++i)
                    OutputDebugStringA(
                        ("thread " + std::to_string(t) + " text " + std::to_string(i) + "\n")
                            .c_str());
            });
        }
        for (std::thread& thread : threads)
            thread.join();
        EXPECT_EQ(inner.lines().size(), 400u);
        EXPECT_TRUE(inner.contains("thread 3 text 99\n"));
    }
    OutputDebugStringA("after inner");
    const std::vector<std::string> lines = outer.lines();
    ASSERT_EQ(lines.size(), 401u);
    EXPECT_EQ(lines.back(), "after inner");
    outer.clear();
    EXPECT_TRUE(outer.lines().empty());
    EXPECT_FALSE(outer.contains("after"));
}

TEST(LocalTime, agreesWithTheCalendarClock)
{
    const std::time_t before = std::time(nullptr);
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const std::time_t after = std::time(nullptr);
    std::tm stamp{};
    stamp.tm_year = now.wYear - 1900;
    stamp.tm_mon = now.wMonth - 1;
    stamp.tm_mday = now.wDay;
    stamp.tm_hour = now.wHour;
    stamp.tm_min = now.wMinute;
    stamp.tm_sec = now.wSecond;
    stamp.tm_isdst = -1;
    const std::time_t seconds = std::mktime(&stamp);
    EXPECT_GE(seconds, before);
    EXPECT_LE(seconds, after);
    EXPECT_LT(now.wMilliseconds, 1000);
    EXPECT_EQ(now.wDayOfWeek, stamp.tm_wday);
}

TEST(Ids, threadIdsDifferAndProcessIdIsWhatTheParentSees)
{
    std::set<DWORD> ids{GetCurrentThreadId()};
    std::thread([&] { ids.insert(GetCurrentThreadId()); }).join();
    EXPECT_EQ(ids.size(), 2u);

    TempDir dir;
    ChildProcess child(ChildProcess::selfPath(),
                       ChildProcess::testArguments("Ids.DISABLED_reportProcessId"),
                       {{"ZUB_ID_FILE", dir.file("id")}});
    ASSERT_EQ(child.wait(20000), 0);
    long reported = 0;
    std::ifstream(dir.file("id")) >> reported;
    EXPECT_EQ(reported, child.pid());
    EXPECT_NE(static_cast<DWORD>(reported), GetCurrentProcessId());
}

// Child mode: writes its process id into the file ZUB_ID_FILE.
TEST(Ids, DISABLED_reportProcessId)
{
    std::ofstream(std::getenv("ZUB_ID_FILE")) << GetCurrentProcessId();
}
