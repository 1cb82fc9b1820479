#include "DemoSuite.h"

#include <ThisSystem.h>

#include <gtest/gtest.h>

// The whole chain in real processes: demo host, plug-in, client layer,
// platform core and the module folder it installs into.
class SuiteUpdateTest : public testing::TestWithParam<bool>
{};

TEST_P(SuiteUpdateTest, HostRequestInstallsTheNewerModule)
{
    const bool silent = GetParam();
    if (silent && kOnWindows)
        GTEST_SKIP() << "the host exits as soon as a silent request returns, and Windows ends "
                        "the platform's threads with the process before any library unloads; "
                        "on POSIX the core's unload at exit joins them and the install completes";
    DemoSuite suite;
    std::vector<std::string> arguments = {"--update"};
    if (silent)
        arguments.push_back("--silent");
    EXPECT_EQ(suite.runHost(arguments), 0);

    const std::string journal = suite.journal();
    EXPECT_EQ(
        linesWith(journal, "DruxClientUserid.DoUpdate appname=\"Mirn6_QualityControl\" bits=64"),
        1);
    EXPECT_GT(linesWith(journal, "stage=1 "), 1);
    EXPECT_EQ(linesWith(journal, "stage=4 "), 1);
    EXPECT_EQ(linesWith(journal, "result=0"), 1);
    EXPECT_EQ(linesWith(journal, "sink 1 Release"), 1);
    EXPECT_EQ(suite.recordedVersion(), "1.1.0");
    EXPECT_EQ(suite.moduleVersion(), "1.1.0");

    // Up to date now: a second request finds nothing to install.
    EXPECT_EQ(suite.runHost(arguments), 0);
    EXPECT_EQ(linesWith(suite.journal(), ".DoUpdate"), 1);
    EXPECT_EQ(suite.runHost({"--facade"}), 0);
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutDialog, SuiteUpdateTest, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& row) {
                             return row.param ? "silent" : "withDialog";
                         });
