#include "DRUXClient/IDRUXNotifyInf.h"
#include "DRUXClient/KaNotify.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <new>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {
// Keeps the stage reports that reach it and marks each on standard output,
// where it shows whether the report came before the sink's own line.
class StageLog : public IDRUXNotifyInf
{
public:
    ~StageLog() override { endNotifications(); }
    void notifyProgress(int stage, int percent) override
    {
        std::printf("<%d %d>", stage, percent);
        std::fflush(stdout);
        reports.emplace_back(stage, percent);
    }

    std::vector<std::pair<int, int>> reports;
};

std::string prefix()
{
    char text[32];
    std::snprintf(text, sizeof text, "[0x%x] ", static_cast<unsigned int>(GetCurrentThreadId()));
    return text;
}
} // namespace

// Every line carries the reporting thread's id, here a platform thread's,
// which is not the process's ('#' below). Error-free stages reach the
// receiver before their line, and stages outside 1 to 4 print nothing;
// results and errors are printed only. The fault matrix has the lines of a
// release.
TEST(KaNotifyTest, ReportsArePrintedAndErrorFreeStagesForwardedFirst)
{
    StageLog receiver;
    KaNotify sink(false, &receiver);
    struct Report
    {
        bool stage;
        unsigned int error;
        int value;
        std::string out;
    };
    const Report reports[] = {
        {true, 0, 1, "<1 40>#downloading A.B (bits 64) 40%\n"},
        {true, 0, 2, "<2 40>#download A.B (bits 64) over\n"},
        {true, 0, 3, "<3 40>#installing A.B (bits 64) ...\n"},
        {true, 0, 4, "<4 40>#install A.B (bits 64) over!\n"},
        {true, 0, 0, "<0 40>"},
        {true, 0, 7, "<7 40>"},
        {true, 5, 1, "#fatal error (5) while stage 1 of A.B (bits 64)\n"},
        {false, 6, 0, "#fatal error (6) while waiting install for A.B (bits 64)\n"},
        {false, 0, 1, "#user ignore update for A.B (bits 64)\n"},
        {false, 0, 2, "#download A.B (bits 64) failure!\n"},
        {false, 0, 3, "#user cancel update for A.B (bits 64)\n"},
        {false, 0, 4, "#install A.B (bits 64) failure!\n"},
        {false, 0, 5, "#wait A.B (bits 64) return timeout!\n"},
        {false, 0, 7, "#other failure case (7) for A.B (bits 64)\n"},
        {false, 0, 10, "#user postpone update for A.B (bits 64) 3 days later\n"},
        {false, 0, 11, "#user postpone update for A.B (bits 64) 7 days later\n"},
        {false, 0, 12, "#user skip current version for A.B (bits 64)\n"},
        {false, 0, 13, "#other failure case (13) for A.B (bits 64)\n"},
        {false, 0, -3, "#other failure case (-3) for A.B (bits 64)\n"},
    };
    for (const Report& report : reports) {
        std::string out = report.out;
        testing::internal::CaptureStdout();
        std::thread([&] {
            const size_t at = out.find('#');
            if (at != std::string::npos)
                out.replace(at, 1, prefix());
            if (report.stage)
                sink.notifyStage(report.error, "A", "B", 64, report.value, 40);
            else
                sink.notifyResult(report.error, "A", "B", 64, report.value);
        }).join();
        EXPECT_EQ(testing::internal::GetCapturedStdout(), out) << report.value;
    }
    EXPECT_EQ(receiver.reports.size(), 6u);

    // No receiver: the lines alone. Without automatic deletion the sink
    // outlives its release, which prints nothing.
    KaNotify alone(false, nullptr);
    testing::internal::CaptureStdout();
    alone.notifyStage(0, "A", "B", 64, 2, 0);
    alone.release();
    sink.release();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), prefix() + "download A.B (bits 64) over\n");
}

// A receiver built where a dead one was is another receiver: the dead one's
// sink, still reporting, reaches neither.
TEST(KaNotifyTest, StagesOfADeadReceiversSinkReachNoReceiverInItsPlace)
{
    alignas(StageLog) unsigned char storage[sizeof(StageLog)];
    auto* dead = new (storage) StageLog;
    KaNotify orphan(false, dead);
    dead->~StageLog();
    auto* successor = new (storage) StageLog;
    KaNotify successorsSink(false, successor);

    testing::internal::CaptureStdout();
    orphan.notifyStage(0, "A", "B", 64, 4, 0);
    successorsSink.notifyStage(0, "A", "B", 64, 1, 30);
    testing::internal::GetCapturedStdout();

    EXPECT_EQ(successor->reports, (std::vector<std::pair<int, int>>{{1, 30}}));
    successor->~StageLog();
}
