#include "LogFixture.h"

#include <libdruxclient/qorlog.h>

#include <algorithm>

using LineFormat = LogFixture;

TEST_F(LineFormat, StampHasTheFullYearPaddedIdsAndACutTag)
{
    ASSERT_TRUE(load());
    log("get IQORClient OK");

    const std::string line = lines(1)[0];
    EXPECT_TRUE(stampedThisYear(line)) << line;
    EXPECT_EQ(line.substr(24), idsOfThisThread() + "QorLogProb get IQORClient OK");
    // Debugger-only lines carry 15 characters of the tag.
    EXPECT_TRUE(debugContains(idsOfThisThread() + "QorLogProbeModu qorlog start\n"));
}

TEST_F(LineFormat, EachLineBreakIsStoredAsCrLf)
{
    ASSERT_TRUE(load());
    log("one\ntwo");

    const std::string bytes = read(1);
    EXPECT_THAT(bytes, EndsWith(" one\r\ntwo\r\n"));
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'),
              std::count(bytes.begin(), bytes.end(), '\r'));
}

TEST_F(LineFormat, LinesAreCutAt8192Characters)
{
    ASSERT_TRUE(load());
    log("x");
    const size_t stamp = lines(1)[0].size() - 1;
    log(std::string(8192 - stamp - 1, 'f')); // fits, with its line break
    log(std::string(9000, 'c'));             // cut, and without a line break
    log("end");

    const auto file = lines(1);
    ASSERT_EQ(file.size(), 4u);
    EXPECT_EQ(file[1].substr(stamp), std::string(8192 - stamp - 1, 'f'));
    EXPECT_EQ(file[2].substr(stamp, 8192 - stamp), std::string(8192 - stamp, 'c'));
    EXPECT_TRUE(stampedThisYear(file[2].substr(8192)));
    EXPECT_THAT(file[2], EndsWith(" end"));
}

TEST_F(LineFormat, WideTextIsWrittenInTheAnsiCodePage)
{
    const std::wstring text = L"\u8d28\u91cf\u63a7\u5236 update";
    char expected[64] = {};
    ASSERT_GT(WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, expected, sizeof expected, nullptr,
                                  nullptr),
              0);
    ASSERT_TRUE(load());
    logW(text);

    EXPECT_THAT(lines(1)[0], EndsWith(std::string(" ") + expected));
}

// A conversion that fails for another reason than a short buffer (a code page
// the system lacks) gives the zero-filled buffer, not null.
TEST(ToMultiByte, OtherFailureGivesTheZeroFilledBuffer)
{
    char* text = qorlog::toMultiByte(L"abc", 12345);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text, 16), std::string(16, '\0'));
    delete[] text;
}
