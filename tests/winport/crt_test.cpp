#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>

namespace {

int callVsnwprintf(wchar_t* buffer, size_t count, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    const int result = _vsnwprintf(buffer, count, format, args);
    va_end(args);
    return result;
}

} // namespace

TEST(Crt, snprintfCutsAtTheLimitWithoutTerminating)
{
    char buffer[9];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(_snprintf(buffer, 5, "%s-%d", "ab", 7), 4);
    EXPECT_STREQ(buffer, "ab-7") << "a text that fits is terminated";

    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(_snprintf(buffer, 4, "%s-%d", "ab", 7), 4);
    EXPECT_EQ(std::string(buffer, 5), "ab-7#") << "an exact fit is not terminated";

    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(_snprintf(buffer, 8, "%s and more", "longer"), -1);
    EXPECT_EQ(std::string(buffer, 9), "longer a#");

    EXPECT_EQ(_snprintf(buffer, 0, "x"), -1);
    EXPECT_EQ(buffer[0], 'l') << "a zero limit writes nothing";
}

TEST(Crt, theClientLogBufferStaysTerminatedWhenALongMessageIsCut)
{
    static char buffer[8193];
    std::memset(buffer, 0, sizeof buffer);
    const std::string message(10000, 'm');
    EXPECT_EQ(_snprintf(buffer, 8192, "%s", message.c_str()), -1);
    EXPECT_EQ(std::strlen(buffer), 8192u);
}

TEST(Crt, vsnwprintfReadsWindowsWideFormatsAndCutsAlike)
{
    wchar_t buffer[32];
    wmemset(buffer, L'#', 32);
    EXPECT_EQ(
        callVsnwprintf(buffer, 31, L"%s|%S|%hs|%c|%C|%d%%", L"wide", "narrow", "h", L'w', 'n', 5),
        20);
    EXPECT_STREQ(buffer, L"wide|narrow|h|w|n|5%");

    wmemset(buffer, L'#', 32);
    EXPECT_EQ(callVsnwprintf(buffer, 6, L"%s%ls", L"\u8d28\u91cf", L"control"), -1);
    EXPECT_EQ(std::wstring(buffer, 7), L"\u8d28\u91cf"
                                       L"cont#");
}
