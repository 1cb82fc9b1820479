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

TEST(Bstr, CopiesUpToTheNullAndTreatsNullAsEmpty)
{
    BSTR text = SysAllocString(L"Mirn6");
    ASSERT_NE(nullptr, text);
    EXPECT_EQ(5u, SysStringLen(text));
    EXPECT_EQ(std::wstring(L"Mirn6"), std::wstring(text));
    SysFreeString(text);

    EXPECT_EQ(nullptr, SysAllocString(nullptr));
    EXPECT_EQ(0u, SysStringLen(nullptr));
    EXPECT_EQ(0u, SysStringByteLen(nullptr));
    SysFreeString(nullptr);
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

TEST(CodePages, AnExplicitLengthConvertsNoTerminator)
{
    char bytes[16];
    std::memset(bytes, '#', sizeof bytes);
    ASSERT_EQ(12,
              WideCharToMultiByte(CP_UTF8, 0, kChinese, 4, bytes, sizeof bytes, nullptr, nullptr));
    EXPECT_EQ(0, std::memcmp(kChineseUtf8, bytes, 12));
    EXPECT_EQ('#', bytes[12]);

    wchar_t wide[4] = {L'#', L'#', L'#', L'#'};
    ASSERT_EQ(3, MultiByteToWideChar(CP_UTF8, 0, "abc", 3, wide, 4));
    EXPECT_EQ(L'c', wide[2]);
    EXPECT_EQ(L'#', wide[3]);
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

TEST(CodePages, InvalidInputIsReplacedOrRefusedOnRequest)
{
    wchar_t wide[8];
    ASSERT_EQ(4, MultiByteToWideChar(CP_UTF8, 0,
                                     "a\xff"
                                     "b",
                                     -1, wide, 8));
    EXPECT_EQ(std::wstring(L"a\ufffdb"), std::wstring(wide));
    SetLastError(0);
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS,
                                     "a\xff"
                                     "b",
                                     -1, wide, 8));
    EXPECT_EQ(ERROR_NO_UNICODE_TRANSLATION, GetLastError());

    const wchar_t loneSurrogate[] = {L'a', static_cast<wchar_t>(0xD800), L'b', 0};
    char bytes[16];
    ASSERT_EQ(6, WideCharToMultiByte(CP_UTF8, 0, loneSurrogate, -1, bytes, sizeof bytes, nullptr,
                                     nullptr));
    EXPECT_STREQ("a\xef\xbf\xbd"
                 "b",
                 bytes);
    SetLastError(0);
    EXPECT_EQ(0, WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, loneSurrogate, -1, bytes,
                                     sizeof bytes, nullptr, nullptr));
    EXPECT_EQ(ERROR_NO_UNICODE_TRANSLATION, GetLastError());
}

TEST(CodePages, RefusesBadArguments)
{
    wchar_t wide[4];
    const int results[] = {
        MultiByteToWideChar(CP_UTF8, 0, "abc", 0, wide, 4),
        MultiByteToWideChar(CP_UTF8, 0, nullptr, -1, wide, 4),
        WideCharToMultiByte(CP_UTF8, 0, L"abc", -1, nullptr, 4, nullptr, nullptr),
    };
    for (int result : results)
        EXPECT_EQ(0, result);
    SetLastError(0);
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, 0, "abc", 0, wide, 4));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
}

} // namespace
