#include "UpdateProxyConstants.h"

#include <QString>
#include <gtest/gtest.h>

#include <utility>

// The user's texts are const char[] meant as UTF-8. A compiler that reads
// the sources in another code page stores other bytes; the expected code
// points are written as escapes, which no source encoding changes.
TEST(ProductTextsTest, ChineseTextsHaveTheirCodePoints)
{
    const std::pair<const char*, const char16_t*> texts[] = {
        {g_strUpdateCheckAgain, u"\u8BF7\u91CD\u65B0\u68C0\u67E5\uFF01"},
        {g_strUpdateNoVersion, u"\u6CA1\u6709\u53EF\u5347\u7EA7\u7684\u7248\u672C\uFF01"},
        {g_strUpdateBusy, u"\u5DF2\u6709\u5347\u7EA7\u4E2D\u7684\u4EFB\u52A1\uFF01"},
        {g_strUpdateNotInstalled, u"\u672C\u673A\u672A\u5B89\u88C5\u6B64\u7248\u672C\uFF01"},
        {g_strUpdateAlreadyCurrent, u"\u5DF2\u7ECF\u5347\u7EA7\u5230\u6B64\u7248\u672C\uFF01"},
        {g_strUpdateFailed, u"\u5347\u7EA7\u5931\u8D25\uFF08%1\uFF09\uFF01"},
    };
    for (const auto& [text, codePoints] : texts)
        EXPECT_EQ(QString::fromUtf8(text), QString::fromUtf16(codePoints));
}
