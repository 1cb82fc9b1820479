#include "DRUXClient/IDRUXNotifyInf.h"
#include "DRUXClient/KaNotify.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <new>
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

// Each result prints its line on standard output and reaches no receiver;
// the fault matrix has the lines of the stages, of errors and of a release.
TEST(KaNotifyTest, ResultLinesNameTheOutcome)
{
    StageLog receiver;
    KaNotify sink(false, &receiver);
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
    for (const auto& [result, line] : cases) {
        testing::internal::CaptureStdout();
        sink.notifyResult(0, "A", "B", 64, result);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), prefix() + line);
    }
    EXPECT_TRUE(receiver.reports.empty());
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
