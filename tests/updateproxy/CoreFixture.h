#pragma once
#include "CoreScenario.h"

#include <ZubHostTesting.h>

#include <QStringList>
#include <gtest/gtest.h>
#include <json/json.h>

#include <string>
#include <vector>

extern const char* const kComponent;

// One record of an update list, as the platform's JSON has it.
Json::Value updateRecord(const std::string& appname = kComponent, int sp = 0, unsigned int fsize = 4096);
// A check that offers `records`.
Json::Value offering(const std::vector<Json::Value>& records);
// A scenario whose checks offer `records`.
Json::Value offeringUpdate(const std::vector<Json::Value>& records = {updateRecord()});
// A report of an accepted update: a stage, or with `result` a final result.
Json::Value stageReport(int stage, int percent = 0, int thread = 1);
Json::Value resultReport(int result, int thread = 1);

// Tests against the real stand-in platform core, with the host's log and
// message boxes recorded.
class CoreFixture : public testing::Test
{
protected:
    CoreFixture();
    ~CoreFixture() override;

    // In force for the clients created from now on.
    void use(const Json::Value& scenario);

    // Journal lines of the core that contain `part`.
    static int journalCount(const std::string& part);
    // Waits until the platform has released `count` notification sinks.
    static bool waitForSinkReleases(int count = 1);

    // Host-log lines that came from `function`.
    static std::vector<ZubHostTesting::DebugLogEntry> logOf(const QString& function);
    static QStringList messageBoxes();

    CoreScenario m_core;
};
