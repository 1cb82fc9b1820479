#include "FaultCase.h"
#include "FaultHost.h"
#include "FaultSuite.h"

#include <ThisSystem.h>

#include <QStandardPaths>

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

// Cases show by name in failure messages.
void PrintTo(const FaultCase& fault, std::ostream* out)
{
    *out << fault.name;
}

namespace {
// Every sink the platform was handed is released once and destroyed once:
// one "destroy notifier" per DoUpdate, at most one release per sink.
void expectEverySinkReleasedOnce(const Observations& seen)
{
    const int updates = seen.count("core", "*.DoUpdate *");
    EXPECT_EQ(seen.count("out", "destroy notifier"), updates) << "sinks destroyed";
    EXPECT_EQ(seen.count("log", "KaNotifyProxy dtor"), updates) << "proxies released";
    std::set<std::string> released;
    for (const std::string& line : seen.lines("core")) {
        if (globMatches("sink * Release", line.c_str())) {
            EXPECT_TRUE(released.insert(line).second) << "released twice: " << line;
        }
    }
}
} // namespace

// One scenario per case, through the real plug-in in a host process of its
// own, so that the process-wide client and logger start fresh each time.
class FaultMatrix : public testing::TestWithParam<FaultCase>
{};

TEST_P(FaultMatrix, HostGetsTheSystemsAnswerAndKeepsRunning)
{
    using Twist = FaultCase::Twist;
    const FaultCase& fault = GetParam();
    if (fault.has(Twist::FastClock) && QStandardPaths::findExecutable("faketime").isEmpty())
        GTEST_SKIP() << "no faketime here (a POSIX program) to run the host's clock fast";
    // Only Windows' loader tells libraries that the process ends (a detach with `reserved` set).
    if (fault.has(Twist::EndsAtTheResult) && !kOnWindows)
        GTEST_SKIP()
            << "no process-end detach here: a library's objects go at exit() as at an unload";
    FaultSuite suite(fault);
    const std::optional<int> exitCode = suite.runHost();
    ASSERT_TRUE(exitCode.has_value())
        << "the host did not start, or did not end within " << fault.timeoutMs << " ms";
    // A crash, an exception into the host or a leak (under the sanitizers) ends it otherwise.
    EXPECT_EQ(*exitCode, 0);

    const Observations seen = suite.observations();
    EXPECT_EQ(seen.check(fault.result ? "state#1: returned true" : "state#1: returned false"), "");
    for (const std::string& answer : fault.answers) {
        const std::string failure = seen.check(suite.expanded(answer));
        EXPECT_TRUE(failure.empty()) << failure;
    }
    if (!fault.has(Twist::EndsInsideALogLine) && !fault.has(Twist::EndsAtTheResult))
        expectEverySinkReleasedOnce(seen);
    if (HasFailure())
        ADD_FAILURE() << "what the host left behind:\n" << seen.dump();
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultMatrix, testing::ValuesIn(faultCases()),
                         [](const testing::TestParamInfo<FaultCase>& row) {
                             return row.param.name;
                         });

// The host of one case, started by FaultSuite in the case's own suite.
TEST(FaultHost, DISABLED_serveOneUpdateRequest)
{
    const char* name = std::getenv(FaultFiles::kCaseVariable);
    const char* folder = std::getenv(FaultFiles::kFolderVariable);
    ASSERT_TRUE(name && folder);
    const FaultCase* fault = findFaultCase(name);
    ASSERT_NE(fault, nullptr) << name;
    EXPECT_TRUE(serveOneUpdateRequest(*fault, folder));
}
