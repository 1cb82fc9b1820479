#include "LogLines.h"
#include "RecordingSink.h"

#include <libdruxclient/KaNotifyProxy.h>

#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

class Bstr
{
public:
    explicit Bstr(const wchar_t* text)
        : m_text(SysAllocString(text))
    {}
    ~Bstr() { SysFreeString(m_text); }
    BSTR get() const { return m_text; }

private:
    BSTR m_text;
};

class NotifyProxy : public testing::Test
{
protected:
    std::shared_ptr<SinkLog> log = std::make_shared<SinkLog>();
    DRUX::KaNotifyProxy* proxy = new DRUX::KaNotifyProxy(new RecordingSink(log));
    Bstr component{L"Mirn6_QualityControl"};
    Bstr version{L"6.2.1.7"};
};

TEST_F(NotifyProxy, ForwardsReportsWithTheirNumbersAndConvertedTexts)
{
    EXPECT_EQ(proxy->NotifyStage(0, component.get(), version.get(), 64, 1, 40), S_OK);
    EXPECT_EQ(proxy->NotifyResult(5, component.get(), nullptr, 32, 4), S_OK);
    EXPECT_EQ(proxy->NotifyStage(0x80004005u, nullptr, version.get(), 64, 7, -3), S_OK);
    proxy->Release();

    ASSERT_EQ(log->reports().size(), 3u);
    const std::vector<Received> reports = log->reports();
    const Received& stage = reports[0];
    EXPECT_EQ(stage.call, "stage");
    EXPECT_EQ(stage.error, 0u);
    EXPECT_EQ(stage.text1, std::optional<std::string>("Mirn6_QualityControl"));
    EXPECT_EQ(stage.text2, std::optional<std::string>("6.2.1.7"));
    EXPECT_EQ(stage.bits, 64);
    EXPECT_EQ(stage.value, 1);
    EXPECT_EQ(stage.percent, 40);

    const Received& result = reports[1];
    EXPECT_EQ(result.call, "result");
    EXPECT_EQ(result.error, 5u);
    EXPECT_EQ(result.text2, std::nullopt);
    EXPECT_EQ(result.bits, 32);
    EXPECT_EQ(result.value, 4);

    const Received& fatal = reports[2];
    EXPECT_EQ(fatal.error, 0x80004005u);
    EXPECT_EQ(fatal.text1, std::nullopt);
    EXPECT_EQ(fatal.value, 7);
    EXPECT_EQ(fatal.percent, -3);
}

TEST_F(NotifyProxy, ChineseTextsArriveInTheAnsiCodePage)
{
    const wchar_t* const name = L"\u8d28\u91cf\u63a7\u5236";
    const Bstr chinese(name);
    proxy->NotifyStage(0, chinese.get(), chinese.get(), 64, 3, 0);
    proxy->Release();
    ASSERT_EQ(log->reports().size(), 1u);
    EXPECT_EQ(log->reports()[0].text1, std::optional<std::string>(ansiOf(name)));
    EXPECT_EQ(log->reports()[0].text2, std::optional<std::string>(ansiOf(name)));
}

TEST_F(NotifyProxy, ReleaseEndsProxyAndSinkOnce)
{
    DebugCapture capture;
    EXPECT_EQ(proxy->Release(), S_OK);
    EXPECT_EQ(log->releases(), 1);
    EXPECT_EQ(countLogged(capture, "KaNotifyProxy dtor"), 1);
}

TEST(NotifyProxyWithoutSink, FailsReportsAndStillReleases)
{
    DRUX::KaNotifyProxy* proxy = new DRUX::KaNotifyProxy(nullptr);
    const Bstr text(L"x");
    EXPECT_EQ(proxy->NotifyStage(0, text.get(), text.get(), 64, 1, 10), E_FAIL);
    EXPECT_EQ(proxy->NotifyResult(0, text.get(), text.get(), 64, 0), E_FAIL);
    EXPECT_EQ(proxy->Release(), S_OK);
}

} // namespace
