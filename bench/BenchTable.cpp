// Reads the JSON that the suite's runs wrote (Google Benchmark's format) and
// prints the one table: each path, ours beside its limit, the ratio and the
// target. `--json FILE` writes the same rows for machines.
#include <json/json.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

// The runs' entries by name: a repeated benchmark by "<name>/<aggregate>",
// a single run by its name.
class Results
{
public:
    bool read(const std::string& file)
    {
        std::ifstream in(file);
        Json::Value root;
        Json::CharReaderBuilder builder;
        builder["allowSpecialFloats"] = true; // a deviation of all-zero samples is NaN
        std::string errors;
        if (!in || !Json::parseFromStream(builder, in, &root, &errors)) {
            std::cerr << "zubbench_table: cannot read " << file << ": " << errors << "\n";
            return false;
        }
        for (const Json::Value& entry : root["benchmarks"]) {
            const std::string aggregate = entry["aggregate_name"].asString();
            const std::string run = plainName(entry["run_name"].asString());
            m_entries[aggregate.empty() ? run : run + "/" + aggregate] = entry;
        }
        return true;
    }

    // Wall time of one iteration in nanoseconds.
    std::optional<double> timeNs(const std::string& name) const
    {
        const Json::Value* entry = find(name);
        if (!entry)
            return std::nullopt;
        static const std::map<std::string, double> scale = {
            {"ns", 1.0}, {"us", 1e3}, {"ms", 1e6}, {"s", 1e9}};
        const auto unit = scale.find((*entry)["time_unit"].asString());
        return (*entry)["real_time"].asDouble() * (unit == scale.end() ? 1.0 : unit->second);
    }

    std::optional<double> counter(const std::string& name, const char* counter) const
    {
        const Json::Value* entry = find(name);
        if (!entry || !entry->isMember(counter))
            return std::nullopt;
        return (*entry)[counter].asDouble();
    }

    // Why a benchmark gave no figure, empty when it gave one.
    std::string problem(const std::string& name) const
    {
        const auto it = m_entries.find(name);
        if (it == m_entries.end())
            return "not run";
        return it->second["error_occurred"].asBool() ? it->second["error_message"].asString() : "";
    }

private:
    // The name as registered, without the settings that Google Benchmark
    // appends ("/iterations:800", "/repeats:12", "/real_time").
    static std::string plainName(const std::string& runName)
    {
        std::string name;
        size_t begin = 0;
        while (begin <= runName.size()) {
            size_t end = runName.find('/', begin);
            if (end == std::string::npos)
                end = runName.size();
            const std::string part = runName.substr(begin, end - begin);
            if (part.find(':') == std::string::npos && part != "real_time" && part != "manual_time")
                name += (name.empty() ? "" : "/") + part;
            begin = end + 1;
        }
        return name;
    }

    const Json::Value* find(const std::string& name) const
    {
        const auto it = m_entries.find(name);
        return it == m_entries.end() || it->second["error_occurred"].asBool() ? nullptr
                                                                              : &it->second;
    }

    std::map<std::string, Json::Value> m_entries;
};

std::string format(const char* pattern, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

std::string duration(std::optional<double> ns)
{
    if (!ns)
        return "—";
    if (*ns < 1e3)
        return format("%.1f ns", *ns);
    if (*ns < 1e6)
        return format("%.2f µs", *ns / 1e3);
    return format("%.2f ms", *ns / 1e6);
}

struct Row
{
    Row(std::string pathText, std::string oursText, std::string besideText)
        : path(std::move(pathText))
        , ours(std::move(oursText))
        , beside(std::move(besideText))
    {}

    std::string path;
    std::string ours;
    std::string beside;
    std::optional<double> ratio;
    std::string target;
    std::optional<bool> met; // none: reported only, or no figure
    std::string note;        // why a figure is missing
};

std::optional<double> ratioOf(std::optional<double> ours, std::optional<double> beside)
{
    if (!ours || !beside || *beside <= 0)
        return std::nullopt;
    return *ours / *beside;
}

std::optional<bool> within(std::optional<double> value, double limit)
{
    if (!value)
        return std::nullopt;
    return *value <= limit;
}

std::string problems(const Results& results, const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names) {
        const std::string problem = results.problem(name);
        if (!problem.empty())
            text += (text.empty() ? "" : "; ") + name + ": " + problem;
    }
    return text;
}

// One row of a repeated benchmark beside another: medians and their ratio.
Row medianRow(const Results& results, const std::string& path, const std::string& ours,
              const std::string& beside, double limit, const std::string& target)
{
    const std::string oursMedian = ours + "/median";
    const std::string besideMedian = beside + "/median";
    Row row{path, duration(results.timeNs(oursMedian)), duration(results.timeNs(besideMedian))};
    row.ratio = ratioOf(results.timeNs(oursMedian), results.timeNs(besideMedian));
    row.target = target;
    row.met = within(row.ratio, limit);
    row.note = problems(results, {oursMedian, besideMedian});
    return row;
}

Row logLineRow(const Results& results, const std::string& path, const std::string& prefix,
               double limit, const std::string& target)
{
    Row row = medianRow(results, path, prefix + "/ours", prefix + "/raw", limit, target);
    row.beside = "write + fdatasync: " + row.beside;
    // What the design asks of the kernel for each line (size check by path,
    // line lock, write, commit): how much of the distance is ours to close.
    const std::optional<double> floor = results.timeNs(prefix + "/floor/median");
    const std::optional<double> toFloor = ratioOf(results.timeNs(prefix + "/ours/median"), floor);
    if (toFloor)
        row.beside += "; the design's syscalls alone: " + duration(floor) +
                      format(" (ours %.2f × that)", *toFloor);
    // The mean over every repetition: zero only if each one allocated nothing.
    const std::optional<double> allocations =
        results.counter(prefix + "/ours/mean", "allocs_per_line");
    if (!allocations)
        return row;
    row.ours += format(", %.4f allocations/line", *allocations);
    row.target += "; 0 allocations/line";
    if (row.met)
        row.met = *row.met && *allocations == 0.0;
    return row;
}

// The shared file as writers are added, each count beside as many bare
// writers in the same run; the row's ratio is the worst count's.
Row writersRow(const Results& results, double limit)
{
    Row row{"the same line on disk, 2 / 4 / 8 processes appending to the file", "",
            "as many writers of write + fdatasync:"};
    std::vector<std::string> names;
    for (const int writers : {2, 4, 8}) {
        const std::string prefix =
            "LogLine/disk/shared" + (writers == 2 ? std::string() : std::to_string(writers));
        const std::optional<double> ours = results.timeNs(prefix + "/ours/median");
        const std::optional<double> raw = results.timeNs(prefix + "/raw/median");
        const std::optional<double> ratio = ratioOf(ours, raw);
        row.ours += (row.ours.empty() ? "" : "; ") + std::to_string(writers) + ": " +
                    duration(ours) + (ratio ? format(" (%.2f ×)", *ratio) : "");
        row.beside += (writers == 2 ? " " : "; ") + std::to_string(writers) + ": " + duration(raw);
        if (ratio && (!row.ratio || *ratio > *row.ratio))
            row.ratio = ratio;
        names.push_back(prefix + "/ours/median");
        names.push_back(prefix + "/raw/median");
    }
    row.target = format("≤ %.2f × at each count", limit);
    row.met = within(row.ratio, limit);
    row.note = problems(results, names);
    return row;
}

// Counters of a single run, in microseconds, read as nanoseconds.
std::optional<double> microsCounter(const Results& results, const std::string& name,
                                    const char* counter)
{
    const std::optional<double> value = results.counter(name, counter);
    return value ? std::optional<double>(*value * 1e3) : std::nullopt;
}

std::string percentiles(const Results& results, const std::string& name, const std::string& prefix)
{
    return "p50 " + duration(microsCounter(results, name, (prefix + "_p50_us").c_str())) +
           ", p99 " + duration(microsCounter(results, name, (prefix + "_p99_us").c_str()));
}

Row reportPathRow(const Results& results)
{
    const std::string same = "ReportPath/latency";
    const std::string moving = "ReportPath/latency_bar_moves";
    Row row{"stage-1 report, platform thread → dialog's slot",
            "same percentage as before: " + percentiles(results, same, "report"),
            "empty queued slot call: " + percentiles(results, same, "empty")};
    row.ratio = ratioOf(microsCounter(results, same, "report_p99_us"),
                        microsCounter(results, same, "empty_p99_us"));
    row.target = "p99 ≤ 1.5 × the empty call's p99";
    row.met = within(row.ratio, 1.5);
    const std::optional<double> movingRatio =
        ratioOf(microsCounter(results, moving, "report_p99_us"),
                microsCounter(results, moving, "empty_p99_us"));
    row.ours += "; a new percentage each time (bar and label move): " +
                percentiles(results, moving, "report");
    if (movingRatio)
        row.ours += format(" (p99 %.2f × the empty call's)", *movingRatio);
    row.note = problems(results, {same, moving});
    return row;
}

std::string stall(const Results& results, const std::string& name)
{
    const std::optional<double> value = results.counter(name, "longest_stall_ms");
    return value ? format("%.0f ms", *value) : std::string("—");
}

Row floodRow(const Results& results)
{
    const std::string rising = "ReportPath/flood";
    const std::string everyReport = "ReportPath/flood_new_percent_each";
    Row row{"100 000 stage-1 reports from the core while the dialog is shown",
            "longest GUI-thread stall (timer of 5 ms), percentage rising 0 → 99: " +
                stall(results, rising) + " (whole request " + duration(results.timeNs(rising)) +
                "); a new percentage with every report: " + stall(results, everyReport),
            "—"};
    row.target = "≤ 50 ms";
    row.met = within(results.counter(rising, "longest_stall_ms"), 50.0);
    row.note = problems(results, {rising, everyReport});
    return row;
}

Row busyPlatformRow(const Results& results)
{
    const std::string name = "BusyPlatform/stall";
    const std::optional<double> request = results.counter(name, "request_ms");
    Row row{"a platform that answers busy for the whole request (50 checks 100 ms apart)",
            "longest GUI-thread stall (timer of 5 ms): " + stall(results, name) +
                " (whole request " + (request ? format("%.0f ms", *request) : "—") + ")",
            "—"};
    row.target = "≤ 50 ms";
    row.met = within(results.counter(name, "longest_stall_ms"), 50.0);
    row.note = problems(results, {name});
    return row;
}

Row loadRow(const Results& results)
{
    Row row = medianRow(results, "plug-in load + getbundle + activate", "Load/ours",
                        "Load/empty_qt_library", 1.5, "≤ 1.5 ×");
    row.beside = "an empty library linking the same Qt libraries: " + row.beside;
    const std::string resident = "Load/ours_jsoncpp_resident/median";
    const std::optional<double> residentRatio =
        ratioOf(results.timeNs(resident), results.timeNs("Load/empty_qt_library/median"));
    if (residentRatio)
        row.ours += "; with jsoncpp already loaded: " + duration(results.timeNs(resident)) +
                    format(" (%.2f ×)", *residentRatio);
    return row;
}

std::vector<Row> tableRows(const Results& results)
{
    std::vector<Row> rows;
    rows.push_back(logLineRow(results, "client-log line, presence event set, on disk",
                              "LogLine/disk", 1.10, "≤ 1.10 ×"));
    rows.push_back(logLineRow(results, "the same line on /dev/shm (its CPU cost)", "LogLine/shm",
                              3.0, "≤ 3 ×"));
    rows.push_back(logLineRow(results,
                              "the same line on disk, another process appending to the file",
                              "LogLine/disk/shared", 1.15, "≤ 1.15 ×"));
    rows.push_back(writersRow(results, 1.15));
    Row parse = medianRow(results, "parseUpdateList, 10 000 records", "UpdateList/ours",
                          "UpdateList/jsoncpp", 1.20, "≤ 1.20 ×");
    parse.beside = "jsoncpp into a Json::Value: " + parse.beside;
    rows.push_back(parse);
    rows.push_back(reportPathRow(results));
    rows.push_back(floodRow(results));
    rows.push_back(busyPlatformRow(results));
    rows.push_back(loadRow(results));
    Row client = medianRow(results, "getQORClient + CreateInstance + Release, after the first",
                           "Client/ours", "Client/virtual_call", 0.0, "report");
    client.beside = "a plain virtual call: " + client.beside;
    client.met.reset();
    rows.push_back(client);
    return rows;
}

std::string verdict(const Row& row)
{
    if (!row.note.empty())
        return "no figure";
    if (!row.met)
        return "reported";
    return *row.met ? "met" : "MISSED";
}

void printTable(const std::vector<Row>& rows)
{
    std::cout << "| Path | Ours | Beside it | Ratio | Target | |\n|---|---|---|---|---|---|\n";
    for (const Row& row : rows) {
        std::cout << "| " << row.path << " | " << row.ours << " | " << row.beside << " | "
                  << (row.ratio ? format("%.2f ×", *row.ratio) : "—") << " | " << row.target
                  << " | " << verdict(row) << " |\n";
    }
    for (const Row& row : rows) {
        if (!row.note.empty())
            std::cout << "\n" << row.path << ": " << row.note;
    }
    std::cout << std::endl;
}

bool writeJson(const std::vector<Row>& rows, const std::string& file)
{
    Json::Value root(Json::arrayValue);
    for (const Row& row : rows) {
        Json::Value item;
        item["path"] = row.path;
        item["ours"] = row.ours;
        item["beside"] = row.beside;
        item["ratio"] = row.ratio ? Json::Value(*row.ratio) : Json::Value();
        item["target"] = row.target;
        item["verdict"] = verdict(row);
        if (!row.note.empty())
            item["problem"] = row.note;
        root.append(item);
    }
    std::ofstream out(file);
    out << root << "\n";
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv)
{
    std::string jsonFile;
    Results results;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--json") == 0 && i + 1 < argc) {
            jsonFile = argv[++i];
        } else if (!results.read(argv[i])) {
            return 1;
        }
    }
    const std::vector<Row> rows = tableRows(results);
    printTable(rows);
    if (!jsonFile.empty() && !writeJson(rows, jsonFile)) {
        std::cerr << "zubbench_table: cannot write " << jsonFile << "\n";
        return 1;
    }
    return 0;
}
