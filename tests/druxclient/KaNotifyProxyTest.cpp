// A proxy without a sink, which the client layer never makes: the fault
// matrix and the notification fuzzer drive the proxy with every report.
#include <KaNotifyProxy.h>

#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

TEST(NotifyProxyWithoutSink, FailsReportsAndStillReleases)
{
    DRUX::KaNotifyProxy* proxy = new DRUX::KaNotifyProxy(nullptr);
    const BSTR text = SysAllocString(L"x");
    EXPECT_EQ(proxy->NotifyStage(0, text, text, 64, 1, 10), E_FAIL);
    EXPECT_EQ(proxy->NotifyResult(0, text, text, 64, 0), E_FAIL);
    EXPECT_EQ(proxy->Release(), S_OK);
    SysFreeString(text);
}
