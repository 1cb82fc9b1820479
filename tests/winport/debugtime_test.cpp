#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>

// Bracketed by two readings of the calendar clock that GetLocalTime reads;
// Windows may move its coarse copy a tick after the precise one.
TEST(LocalTime, agreesWithTheCalendarClock)
{
    using namespace std::chrono;
    const auto millisecondsOf = [](system_clock::time_point at) {
        return duration_cast<milliseconds>(at.time_since_epoch()).count();
    };
    const long long before = millisecondsOf(system_clock::now());
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const long long after = millisecondsOf(system_clock::now());
    std::tm stamp{};
    stamp.tm_year = now.wYear - 1900;
    stamp.tm_mon = now.wMonth - 1;
    stamp.tm_mday = now.wDay;
    stamp.tm_hour = now.wHour;
    stamp.tm_min = now.wMinute;
    stamp.tm_sec = now.wSecond;
    stamp.tm_isdst = -1;
    const long long local =
        millisecondsOf(system_clock::from_time_t(std::mktime(&stamp))) + now.wMilliseconds;
    const long long tick = 50;
    EXPECT_GE(local, before - tick);
    EXPECT_LE(local, after + tick);
    EXPECT_LT(now.wMilliseconds, 1000);
    EXPECT_EQ(now.wDayOfWeek, stamp.tm_wday);
}
