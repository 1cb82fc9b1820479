#include "LogFixture.h"

#include "TextFiles.h"
#include <libdruxclient/qorlog.h>

#include <cstdlib>

using Lifecycle = LogFixture;

TEST_F(Lifecycle, UnloadStopsTheLoggerAndTheNextLoadStartsAnother)
{
    ASSERT_TRUE(load());
    log("before");
    unload();

    ASSERT_FALSE(m_debug.lines().empty());
    EXPECT_THAT(m_debug.lines().back(), EndsWith("QorLogProbeModu qorlog stop\n"));
    // The presence event stays with the process, so the next logger shares file 1.
    ASSERT_TRUE(load());
    log("after");
    EXPECT_TRUE(debugContains("log file 1 we switched to has opened with '" + eventName(1) + "'"));
    EXPECT_THAT(lines(1), ElementsAre(EndsWith(" before"), EndsWith(" after"), ""));
}

TEST(QorlogChild, DISABLED_logWithDefaults)
{
    qorlog::instance(std::getenv("QORLOG_DIR"), nullptr, nullptr)->log("default line");
    const HANDLE event = CreateEventA(nullptr, FALSE, FALSE, "qorcore.event.1");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    CloseHandle(event);
}

TEST(Defaults, NullNameAndEventBaseMeanQorcoreAndAShortTagIsPadded)
{
    TempDir dir;
    ChildProcess child(ChildProcess::selfPath(),
                       ChildProcess::testArguments("QorlogChild.DISABLED_logWithDefaults"),
                       {{"QORLOG_DIR", dir.path()}, {"WINPORT_OBJECTS", dir.file("objects")}});
    ASSERT_TRUE(child.started());
    EXPECT_EQ(child.wait(60000), 0);

    EXPECT_THAT(readFile(dir.file("qorcore.1.txt")), EndsWith(" qorlog     default line\r\n"));
}
