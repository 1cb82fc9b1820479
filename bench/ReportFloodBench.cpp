// A flood of stage-1 reports from the stand-in core's own thread while the
// dialog is shown, through the whole update request: how long the GUI thread
// is kept from a timer that should tick every 5 ms.
#include "StallWatch.h"
#include "Suite.h"

#include "CoreScenario.h"
#include "ZubDRUXClient/ZubUpdateController.h"

#include <benchmark/benchmark.h>
#include <json/json.h>

namespace {

const int kFloodReports = 100000;
// The dialog is up well before the first report.
const int kFirstReportDelayMs = 300;

// How the percentage goes through the flood: up from 0 to 99 as a download's
// does, or a new one with every report (1 to 100, again and again).
enum class Percent { Rising, NewEachReport };

// The user flavour cannot start, so the product flavour checks, is offered
// one update and installs it with `reports` stage-1 reports on one thread of
// the core, then the stage-4 report that ends the dialog.
std::string floodScenario(int reports, Percent percent)
{
    Json::Value record;
    record["appname"] = "Mirn6_QualityControl";
    record["version"] = "6.2.2.0";
    record["bits"] = 64;
    record["sp"] = 0;
    record["silent"] = 0;
    record["fsize"] = 1048576;
    record["opentime"] = 0;
    Json::Value scenario;
    scenario["user"]["start"]["status"] = 1;
    scenario["user"]["start"]["code"] = 15;
    scenario["check"]["hasUpdate"] = 1;
    scenario["check"]["list"].append(record);
    Json::Value& list = scenario["doUpdate"]["reports"];
    for (int i = 0; i < reports; ++i) {
        Json::Value report;
        report["thread"] = 1;
        report["stage"] = 1;
        report["percent"] =
            percent == Percent::Rising ? static_cast<int>(i * 100LL / reports) : i % 100 + 1;
        if (i == 0)
            report["delayMs"] = kFirstReportDelayMs;
        list.append(report);
    }
    Json::Value over;
    over["thread"] = 1;
    over["stage"] = 4;
    list.append(over);
    Json::StreamWriterBuilder writer;
    writer["indentation"] = "";
    return Json::writeString(writer, scenario);
}

struct UpdateRun
{
    bool installed;
    qint64 longestStallMs;
    int ticks;
};

// One update request, timed from the request on: the dialog is built and
// shown, takes the reports and closes.
UpdateRun runUpdate(int reports, Percent percent)
{
    suiteScenario().write(floodScenario(reports, percent));
    ZubUpdateController controller(nullptr, nullptr);
    StallWatch watch;
    const bool installed = controller.checkAndUpdate(QString("Mirn6_QualityControl"), false);
    return {installed, watch.longestMs(), watch.ticks()};
}

void reportFlood(benchmark::State& state, Percent percent)
{
    // One small update first: the dialog's first showing (styles, fonts)
    // is paid once per process, not by the flood.
    if (!runUpdate(10, percent).installed) {
        state.SkipWithError("the warm-up update failed");
        return;
    }
    for (auto _ : state) {
        const UpdateRun run = runUpdate(kFloodReports, percent);
        if (!run.installed) {
            state.SkipWithError("the update did not end with the install-over report");
            break;
        }
        state.counters["longest_stall_ms"] = static_cast<double>(run.longestStallMs);
        state.counters["ticks"] = run.ticks;
    }
}

} // namespace

void registerReportFloodBenchmarks()
{
    for (auto* benchmark :
         {benchmark::RegisterBenchmark("ReportPath/flood", reportFlood, Percent::Rising),
          benchmark::RegisterBenchmark("ReportPath/flood_new_percent_each", reportFlood,
                                       Percent::NewEachReport)})
        benchmark->Iterations(1)->Unit(benchmark::kMillisecond);
}
