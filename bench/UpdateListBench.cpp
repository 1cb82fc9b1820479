// parseUpdateList of a long list beside jsoncpp parsing the same text into a
// Json::Value and nothing else.
#include "Suite.h"

#include <libdruxclient/DruxClient2.h>

#include <benchmark/benchmark.h>
#include <json/json.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const int kRecords = 10000;

// A list of the platform's shape: every key, texts of realistic length.
const std::string& updateListText()
{
    static const std::string text = [] {
        Json::Value list(Json::arrayValue);
        for (int i = 0; i < kRecords; ++i) {
            Json::Value record;
            record["appname"] = "Mirn6_QualityControl";
            record["version"] = "6.2." + std::to_string(i) + ".0";
            record["desc"] =
                "Quality Control charts, limits and reports, build " + std::to_string(i);
            record["title"] = "Quality Control";
            record["bits"] = 64;
            record["sp"] = 0;
            record["silent"] = 0;
            record["fsize"] = 1048576u + static_cast<unsigned>(i);
            record["opentime"] = 0u;
            list.append(record);
        }
        Json::StreamWriterBuilder writer;
        writer["indentation"] = "";
        return Json::writeString(writer, list);
    }();
    return text;
}

void updateListOurs(benchmark::State& state)
{
    const std::string& text = updateListText();
    for (auto _ : state) {
        std::vector<DRUX::DruxUpdateInfo> list;
        const int code = DRUX::DruxClient2::parseUpdateList(text, list);
        if (code != 0 || list.size() != kRecords) {
            state.SkipWithError("the list did not parse");
            break;
        }
        benchmark::DoNotOptimize(list.data());
    }
}

void updateListJsoncpp(benchmark::State& state)
{
    const std::string& text = updateListText();
    for (auto _ : state) {
        Json::CharReaderBuilder builder;
        builder["collectComments"] = false;
        const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
        Json::Value root;
        std::string errors;
        if (!reader->parse(text.data(), text.data() + text.size(), &root, &errors) ||
            root.size() != kRecords) {
            state.SkipWithError("the list did not parse");
            break;
        }
        benchmark::DoNotOptimize(&root);
    }
}

} // namespace

void registerUpdateListBenchmarks()
{
    for (auto* benchmark : {benchmark::RegisterBenchmark("UpdateList/ours", updateListOurs),
                            benchmark::RegisterBenchmark("UpdateList/jsoncpp", updateListJsoncpp)})
        benchmark->Repetitions(12)->ReportAggregatesOnly(true)->MinTime(0.2)->Unit(
            benchmark::kMillisecond);
}
