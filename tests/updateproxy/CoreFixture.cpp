#include "CoreFixture.h"
#include "TextFiles.h"

#include <QTest>

#include <functional>
#include <sstream>

const char* const kComponent = "Mirn6_QualityControl";

namespace {
int journalLines(const std::function<bool(const std::string&)>& matches)
{
    std::istringstream journal(CoreScenario::journal());
    int count = 0;
    for (std::string line; std::getline(journal, line);)
        count += matches(line) ? 1 : 0;
    return count;
}
} // namespace

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
    return QTest::qWaitFor(
        [&] {
            return journalLines([](const std::string& line) {
                       return line.rfind("sink ", 0) == 0 &&
                              line.find(" Release") != std::string::npos;
                   }) >= count;
        },
        5000);
}

std::vector<ZubHostTesting::DebugLogEntry> logOf(const QString& function)
{
    std::vector<ZubHostTesting::DebugLogEntry> lines;
    for (const ZubHostTesting::DebugLogEntry& entry : ZubHostTesting::debugLogEntries()) {
        if (entry.function == function)
            lines.push_back(entry);
    }
    return lines;
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
    ZubHostTesting::recordMessageBoxes(false);
    ZubHostTesting::captureDebugLog(false);
}

bool CoreFixture::platformThreadsEnded()
{
    return QTest::qWaitFor([] { return CoreScenario::runningThreads() == 0; }, 5000);
}

void CoreFixture::use(const Json::Value& scenario)
{
    m_core.write(Json::writeString(Json::StreamWriterBuilder(), scenario));
}
