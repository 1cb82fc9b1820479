#pragma once
#include "CoreScenario.h"

#include <ZubHostTesting.h>

#include <gtest/gtest.h>
#include <json/json.h>

#include <string>

extern const char* const kComponent;

// A scenario whose checks offer our component's update.
Json::Value offeringUpdate();

// Journal lines of the stand-in core that contain `part`.
int journalCount(const std::string& part);
// Waits until the platform has released `count` notification sinks.
bool waitForSinkReleases(int count = 1);

// Tests with the host's log and message boxes recorded, against the real
// stand-in platform core.
class CoreFixture : public testing::Test
{
protected:
    CoreFixture();
    ~CoreFixture() override;

    // In force for the clients created from now on.
    void use(const Json::Value& scenario);
    // Waits until the platform's threads of this test have ended (Windows
    // would end them with the process, inside their last steps).
    static bool platformThreadsEnded();

    CoreScenario m_core;
};
