#include "StageLog.h"

#include "DRUXClient/KaNotify.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {
std::string prefix()
{
    char text[32];
    std::snprintf(text, sizeof text, "[0x%x] ", static_cast<unsigned int>(GetCurrentThreadId()));
    return text;
}
} // namespace

// Every report prints one line on standard output, from whichever thread.
class KaNotifyTest : public testing::Test
{
protected:
    template <class Call>
    std::string printed(Call call)
    {
        testing::internal::CaptureStdout();
        call();
        return testing::internal::GetCapturedStdout();
    }

    StageLog m_receiver;
    KaNotify m_sink{false, &m_receiver};
};

TEST_F(KaNotifyTest, ResultLinesNameTheOutcome)
{
    const std::pair<int, std::string> cases[] = {
        {0, "install Mirn6.QualityControl (bits 64) OK!\n"},
        {1, "user ignore update for Mirn6.QualityControl (bits 64)\n"},
        {2, "download Mirn6.QualityControl (bits 64) failure!\n"},
        {3, "user cancel update for Mirn6.QualityControl (bits 64)\n"},
        {4, "install Mirn6.QualityControl (bits 64) failure!\n"},
        {5, "wait Mirn6.QualityControl (bits 64) return timeout!\n"},
        {7, "other failure case (7) for Mirn6.QualityControl (bits 64)\n"},
        {10, "user postpone update for Mirn6.QualityControl (bits 64) 3 days later\n"},
        {11, "user postpone update for Mirn6.QualityControl (bits 64) 7 days later\n"},
        {12, "user skip current version for Mirn6.QualityControl (bits 64)\n"},
        {13, "other failure case (13) for Mirn6.QualityControl (bits 64)\n"},
        {-3, "other failure case (-3) for Mirn6.QualityControl (bits 64)\n"},
    };
    for (const auto& [result, line] : cases)
        EXPECT_EQ(printed([&] { m_sink.notifyResult(0, "Mirn6", "QualityControl", 64, result); }),
                  prefix() + line);
    EXPECT_EQ(printed([&] { m_sink.notifyResult(5, "Mirn6", "QualityControl", 32, 0); }),
              prefix() +
                  "fatal error (5) while waiting install for Mirn6.QualityControl (bits 32)\n");
    EXPECT_TRUE(m_receiver.reports().empty());
}

TEST_F(KaNotifyTest, StageReportsAreForwardedThenPrinted)
{
    EXPECT_EQ(printed([&] { m_sink.notifyStage(0, "Mirn6", "QualityControl", 64, 1, 40); }),
              prefix() + "downloading Mirn6.QualityControl (bits 64) 40%\n");
    EXPECT_EQ(printed([&] { m_sink.notifyStage(0, "Mirn6", "QualityControl", 64, 2, 100); }),
              prefix() + "download Mirn6.QualityControl (bits 64) over\n");
    EXPECT_EQ(printed([&] { m_sink.notifyStage(0, "Mirn6", "QualityControl", 64, 3, 0); }),
              prefix() + "installing Mirn6.QualityControl (bits 64) ...\n");
    EXPECT_EQ(printed([&] { m_sink.notifyStage(0, "Mirn6", "QualityControl", 64, 4, 0); }),
              prefix() + "install Mirn6.QualityControl (bits 64) over!\n");
    // Stages without a meaning are forwarded all the same, silently.
    EXPECT_EQ(printed([&] { m_sink.notifyStage(0, "Mirn6", "QualityControl", 64, 0, 5); }), "");
    EXPECT_EQ(printed([&] { m_sink.notifyStage(0, "Mirn6", "QualityControl", 64, 7, 6); }), "");
    // A platform error is printed, never forwarded.
    EXPECT_EQ(printed([&] { m_sink.notifyStage(9, "Mirn6", "QualityControl", 64, 3, 0); }),
              prefix() + "fatal error (9) while stage 3 of Mirn6.QualityControl (bits 64)\n");

    const std::vector<std::pair<int, int>> forwarded = {{1, 40}, {2, 100}, {3, 0},
                                                        {4, 0},  {0, 5},   {7, 6}};
    EXPECT_EQ(m_receiver.reports(), forwarded);
}

TEST_F(KaNotifyTest, LinesCarryTheNotifyingThreadAndNullTexts)
{
    KaNotify alone(false, nullptr);
    std::string platformPrefix;
    const std::string line = printed([&] {
        std::thread platform([&] {
            platformPrefix = prefix();
            alone.notifyStage(0, nullptr, "QualityControl", 64, 2, 0);
        });
        platform.join();
    });
    EXPECT_NE(platformPrefix, prefix());
    EXPECT_EQ(line, platformPrefix + "download (null).QualityControl (bits 64) over\n");
}

TEST_F(KaNotifyTest, ReleaseDeletesOnlyAnAutoDeletingSink)
{
    EXPECT_EQ(printed([&] { m_sink.release(); }), "");
    // Still alive and working after its release.
    EXPECT_EQ(printed([&] { m_sink.notifyStage(0, "A", "B", 32, 4, 0); }),
              prefix() + "install A.B (bits 32) over!\n");

    auto* owned = new KaNotify(true, &m_receiver);
    EXPECT_EQ(printed([&] { owned->release(); }), "kill myself\ndestroy notifier\n");
}
