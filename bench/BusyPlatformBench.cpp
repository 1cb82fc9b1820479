// A platform that answers "busy" to every check for as long as the update
// request keeps asking (the wrapper's bound: 50 checks 100 ms apart, about
// 5 s): how long the GUI thread is kept from a timer that should tick every
// 5 ms meanwhile.
#include "StallWatch.h"
#include "Suite.h"

#include "CoreScenario.h"
#include "ZubDRUXClient/ZubUpdateController.h"

#include <benchmark/benchmark.h>
#include <json/json.h>

#include <QElapsedTimer>

namespace {

// The user flavour cannot start; the product flavour's checks all answer busy.
std::string busyScenario()
{
    Json::Value scenario;
    scenario["user"]["start"]["status"] = 1;
    scenario["user"]["start"]["code"] = 15;
    scenario["check"]["busyChecks"] = 1000000;
    Json::StreamWriterBuilder writer;
    writer["indentation"] = "";
    return Json::writeString(writer, scenario);
}

void busyPlatform(benchmark::State& state)
{
    for (auto _ : state) {
        suiteScenario().write(busyScenario());
        ZubUpdateController controller(nullptr, nullptr);
        StallWatch watch;
        QElapsedTimer request;
        request.start();
        controller.checkAndUpdate(QString("Mirn6_QualityControl"), false);
        state.counters["request_ms"] = static_cast<double>(request.elapsed());
        state.counters["longest_stall_ms"] = static_cast<double>(watch.longestMs());
        state.counters["ticks"] = watch.ticks();
    }
}

} // namespace

void registerBusyPlatformBenchmarks()
{
    benchmark::RegisterBenchmark("BusyPlatform/stall", busyPlatform)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
}
