#include "CoreFixture.h"

#include <QTest>

#include <sstream>

const char* const kComponent = "Mirn6_QualityControl";

Json::Value updateRecord(const std::string& appname, int sp, unsigned int fsize)
{
    Json::Value record;
    record["appname"] = appname;
    record["version"] = "1.1.0";
    record["desc"] = "fixes";
    record["title"] = "Quality Control";
    record["bits"] = 64;
    record["sp"] = sp;
    record["silent"] = 0;
    record["fsize"] = fsize;
    record["opentime"] = 0;
    return record;
}

Json::Value offering(const std::vector<Json::Value>& records)
{
    Json::Value check;
    check["hasUpdate"] = 1;
    check["list"] = Json::Value(Json::arrayValue);
    for (const Json::Value& record : records)
        check["list"].append(record);
    return check;
}

Json::Value offeringUpdate(const std::vector<Json::Value>& records)
{
    Json::Value scenario;
    scenario["check"] = offering(records);
    return scenario;
}

Json::Value stageReport(int stage, int percent, int thread)
{
    Json::Value report;
    report["stage"] = stage;
    report["percent"] = percent;
    report["thread"] = thread;
    return report;
}

Json::Value resultReport(int result, int thread)
{
    Json::Value report;
    report["result"] = result;
    report["thread"] = thread;
    return report;
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

void CoreFixture::use(const Json::Value& scenario)
{
    Json::StreamWriterBuilder writer;
    m_core.write(Json::writeString(writer, scenario));
}

int CoreFixture::journalCount(const std::string& part)
{
    std::istringstream journal(CoreScenario::journal());
    int count = 0;
    for (std::string line; std::getline(journal, line);)
        count += line.find(part) != std::string::npos ? 1 : 0;
    return count;
}

bool CoreFixture::waitForSinkReleases(int count)
{
    const auto released = [] {
        std::istringstream journal(CoreScenario::journal());
        int releases = 0;
        for (std::string line; std::getline(journal, line);)
            releases += line.rfind("sink ", 0) == 0 && line.find(" Release") != std::string::npos ? 1 : 0;
        return releases;
    };
    return QTest::qWaitFor([&] { return released() >= count; }, 5000);
}

std::vector<ZubHostTesting::DebugLogEntry> CoreFixture::logOf(const QString& function)
{
    std::vector<ZubHostTesting::DebugLogEntry> lines;
    for (const ZubHostTesting::DebugLogEntry& entry : ZubHostTesting::debugLogEntries()) {
        if (entry.function == function)
            lines.push_back(entry);
    }
    return lines;
}

QStringList CoreFixture::messageBoxes()
{
    QStringList texts;
    for (const ZubHostTesting::MessageBoxRecord& box : ZubHostTesting::messageBoxTexts())
        texts << box.text;
    return texts;
}
