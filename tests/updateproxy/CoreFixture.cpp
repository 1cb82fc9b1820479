#include "CoreFixture.h"
#include "TextFiles.h"

#include <QTest>

const char* const kComponent = "Mirn6_QualityControl";

Json::Value offeringUpdate()
{
    Json::Value record;
    record["appname"] = kComponent;
    record["version"] = "1.1.0";
    record["bits"] = 64;
    record["fsize"] = 4096;
    Json::Value scenario;
    scenario["check"]["hasUpdate"] = 1;
    scenario["check"]["list"].append(record);
    return scenario;
}

int journalCount(const std::string& part)
{
    return linesWith(CoreScenario::journal(), part);
}

bool waitForSinkReleases(int count)
{
    // "sink N Release": the core's other releases are "Name.Release".
    return QTest::qWaitFor([&] { return journalCount(" Release") >= count; });
}

CoreFixture::CoreFixture()
{
    CoreScenario::clearJournal();
    ZubHostTesting::captureDebugLog(true);
    ZubHostTesting::clearDebugLog();
    ZubHostTesting::recordMessageBoxes(true);
    ZubHostTesting::clearMessageBoxes();
}

CoreFixture::~CoreFixture()
{
    ZubHostTesting::setMessageBoxCallback(nullptr);
    ZubHostTesting::recordMessageBoxes(false);
    ZubHostTesting::captureDebugLog(false);
}

bool CoreFixture::platformThreadsEnded()
{
    return QTest::qWaitFor([] { return CoreScenario::runningThreads() == 0; });
}

void CoreFixture::use(const Json::Value& scenario)
{
    m_core.write(Json::writeString(Json::StreamWriterBuilder(), scenario));
}
