#include "DRUXClient/IDRUXNotifyInf.h"
#include "DRUXClient/KaNotify.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {
// Keeps the stage reports that reach it.
class StageLog : public IDRUXNotifyInf
{
public:
    ~StageLog() override { endNotifications(); }
    void notifyProgress(int stage, int percent) override { reports.emplace_back(stage, percent); }

    std::vector<std::pair<int, int>> reports;
};

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
        {1, "user ignore update for A.B (bits 64)\n"},
        {2, "download A.B (bits 64) failure!\n"},
        {3, "user cancel update for A.B (bits 64)\n"},
        {4, "install A.B (bits 64) failure!\n"},
        {5, "wait A.B (bits 64) return timeout!\n"},
        {7, "other failure case (7) for A.B (bits 64)\n"},
        {10, "user postpone update for A.B (bits 64) 3 days later\n"},
        {11, "user postpone update for A.B (bits 64) 7 days later\n"},
        {12, "user skip current version for A.B (bits 64)\n"},
        {13, "other failure case (13) for A.B (bits 64)\n"},
        {-3, "other failure case (-3) for A.B (bits 64)\n"},
    };
    for (const auto& [result, line] : cases)
        EXPECT_EQ(printed([&] { m_sink.notifyResult(0, "A", "B", 64, result); }), prefix() + line);
    EXPECT_TRUE(m_receiver.reports.empty());
}

TEST_F(KaNotifyTest, StagesAreForwardedButAPlatformErrorIsOnlyPrinted)
{
    const std::string lines = printed([&] {
        m_sink.notifyStage(0, "A", "B", 64, 1, 40);
        // Stages without a meaning are forwarded all the same, silently.
        m_sink.notifyStage(0, "A", "B", 64, 0, 5);
        m_sink.notifyStage(0, "A", "B", 64, 7, 6);
        m_sink.notifyStage(9, "A", "B", 64, 3, 0);
    });
    EXPECT_EQ(lines, prefix() + "downloading A.B (bits 64) 40%\n" + prefix() +
                         "fatal error (9) while stage 3 of A.B (bits 64)\n");
    const std::vector<std::pair<int, int>> forwarded = {{1, 40}, {0, 5}, {7, 6}};
    EXPECT_EQ(m_receiver.reports, forwarded);
}
