#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// "质量控制" (quality control), in UTF-16 code points and in UTF-8 bytes.
const wchar_t kChinese[] = L"\u8d28\u91cf\u63a7\u5236";
const char kChineseUtf8[] = "\xe8\xb4\xa8\xe9\x87\x8f\xe6\x8e\xa7\xe5\x88\xb6";

DWORD prefixOf(BSTR text)
{
    DWORD prefix;
    std::memcpy(&prefix, reinterpret_cast<const char*>(text) - sizeof(DWORD), sizeof prefix);
    return prefix;
}

TEST(Bstr, CarriesItsByteLengthAndATerminator)
{
    const OLECHAR withNull[] = {L'M', 0, L'6'};
    BSTR text = SysAllocStringLen(withNull, 3);
    ASSERT_NE(nullptr, text);
    EXPECT_EQ(3u, SysStringLen(text));
    EXPECT_EQ(3u * sizeof(OLECHAR), SysStringByteLen(text));
    EXPECT_EQ(3u * sizeof(OLECHAR), prefixOf(text));
    EXPECT_EQ(L'6', text[2]);
    EXPECT_EQ(0, text[3]);
    SysFreeString(text);

    BSTR blank = SysAllocStringLen(nullptr, 4);
    ASSERT_NE(nullptr, blank);
    EXPECT_EQ(4u, SysStringLen(blank));
    EXPECT_EQ(0, blank[4]);
    SysFreeString(blank);
}

TEST(CodePages, ChineseRoundTripsThroughUtf8AndTheAnsiPage)
{
    // -1: the terminator is converted and counted.
    ASSERT_EQ(13, WideCharToMultiByte(CP_UTF8, 0, kChinese, -1, nullptr, 0, nullptr, nullptr));
    char bytes[13];
    ASSERT_EQ(13, WideCharToMultiByte(CP_UTF8, 0, kChinese, -1, bytes, 13, nullptr, nullptr));
    EXPECT_STREQ(kChineseUtf8, bytes);

    ASSERT_EQ(5, MultiByteToWideChar(CP_UTF8, 0, bytes, -1, nullptr, 0));
    wchar_t back[5];
    ASSERT_EQ(5, MultiByteToWideChar(CP_UTF8, 0, bytes, -1, back, 5));
    EXPECT_EQ(std::wstring(kChinese), std::wstring(back));

    char ansi[32];
    wchar_t fromAnsi[8];
    const int ansiLength =
        WideCharToMultiByte(CP_ACP, 0, kChinese, -1, ansi, sizeof ansi, nullptr, nullptr);
    ASSERT_GT(ansiLength, 0);
    ASSERT_EQ(5, MultiByteToWideChar(CP_ACP, 0, ansi, ansiLength, fromAnsi, 8));
    EXPECT_EQ(std::wstring(kChinese), std::wstring(fromAnsi));
}

TEST(CodePages, ATooSmallBufferFailsWith122)
{
    char bytes[12];
    SetLastError(0);
    EXPECT_EQ(0,
              WideCharToMultiByte(CP_UTF8, 0, kChinese, -1, bytes, sizeof bytes, nullptr, nullptr));
    EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());

    wchar_t wide[4];
    SetLastError(0);
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, 0, kChineseUtf8, -1, wide, 4));
    EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());
}

} // namespace
