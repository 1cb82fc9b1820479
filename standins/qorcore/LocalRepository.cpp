#include "LocalRepository.h"

#include "Files.h"
#include "Text.h"

#include <json/json.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

namespace qorcore {
namespace {

const int kDownloadFailed = 2;
const int kInstallFailed = 4;

std::vector<unsigned long> versionNumbers(const std::string& version)
{
    std::vector<unsigned long> numbers;
    std::istringstream parts(version);
    std::string part;
    while (std::getline(parts, part, '.'))
        numbers.push_back(std::strtoul(part.c_str(), nullptr, 10));
    return numbers;
}

bool readManifest(const fs::path& path, Package& package)
{
    std::string text;
    if (!readWholeFile(path.string(), text))
        return false;
    Json::CharReaderBuilder builder;
    builder["stackLimit"] = 8;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string errors;
    try {
        if (!reader->parse(text.data(), text.data() + text.size(), &root, &errors))
            return false;
    } catch (const std::exception&) {
        return false;
    }
    if (!root.isObject() || !root["appname"].isString() || !root["version"].isString() ||
        !root["file"].isString() || !(root["bits"].isNull() || root["bits"].isInt()))
        return false;
    package.appname = root["appname"].asString();
    package.version = root["version"].asString();
    package.file = root["file"].asString();
    package.title = root["title"].isString() ? root["title"].asString() : std::string();
    package.desc = root["desc"].isString() ? root["desc"].asString() : std::string();
    package.bits = root["bits"].isInt() ? root["bits"].asInt() : 64;
    std::error_code error;
    package.size = fs::file_size(path.parent_path() / package.file, error);
    return !error && package.file.find_first_of("/\\") == std::string::npos;
}

void pause(int milliseconds)
{
    if (milliseconds > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// The reports of one installation, all naming the package.
class InstallReports
{
public:
    InstallReports(const Package& package, std::shared_ptr<Sink> sink)
        : m_sink(std::move(sink))
        , m_name(bstrFrom(package.appname))
        , m_version(bstrFrom(package.version))
        , m_bits(package.bits)
    {}
    ~InstallReports()
    {
        SysFreeString(m_name);
        SysFreeString(m_version);
        m_sink->release();
    }
    InstallReports(const InstallReports&) = delete;
    InstallReports& operator=(const InstallReports&) = delete;

    void stage(int stage, int percent = 0)
    {
        m_sink->stage(1, 0, m_name, m_version, m_bits, stage, percent);
    }
    void result(int result) { m_sink->result(1, 0, m_name, m_version, m_bits, result); }

private:
    std::shared_ptr<Sink> m_sink;
    BSTR m_name;
    BSTR m_version;
    int m_bits;
};

// Copies `from` to `to` in chunks, reporting the share of bytes copied.
bool download(const fs::path& from, const fs::path& to, std::uintmax_t size,
              const RepositoryPlan& plan, InstallReports& reports)
{
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary | std::ios::trunc);
    if (!in || !out)
        return false;
    std::vector<char> chunk(static_cast<size_t>(plan.chunkBytes));
    std::uintmax_t copied = 0;
    while (in) {
        in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        const std::streamsize got = in.gcount();
        if (got <= 0)
            break;
        if (!out.write(chunk.data(), got))
            return false;
        copied += static_cast<std::uintmax_t>(got);
        reports.stage(1, size ? static_cast<int>(copied * 100 / size) : 100);
        pause(plan.paceMs);
    }
    out.close();
    return !in.bad() && out && copied == size;
}

} // namespace

bool newerVersion(const std::string& candidate, const std::string& installed)
{
    return versionNumbers(candidate) > versionNumbers(installed);
}

std::vector<Package> LocalRepository::offers(const std::string& appname) const
{
    std::vector<Package> found;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(m_plan.packages, error)) {
        Package package;
        if (entry.path().extension() != ".json" || !readManifest(entry.path(), package))
            continue;
        if (package.appname == appname && newerVersion(package.version, installedVersion(package)))
            found.push_back(package);
    }
    if (error)
        debugLine("qorcore: package folder %s cannot be read", m_plan.packages.c_str());
    std::sort(found.begin(), found.end(), [](const Package& a, const Package& b) {
        return newerVersion(a.version, b.version);
    });
    return found;
}

std::string LocalRepository::installedVersion(const Package& package) const
{
    std::ifstream in(fs::path(m_plan.modules) / (package.file + ".version"));
    std::string version;
    std::getline(in, version);
    return version;
}

std::string LocalRepository::listText(const std::vector<Package>& offers)
{
    Json::Value list(Json::arrayValue);
    for (const Package& package : offers) {
        Json::Value entry;
        entry["appname"] = package.appname;
        entry["version"] = package.version;
        entry["desc"] = package.desc;
        entry["title"] = package.title;
        entry["bits"] = package.bits;
        entry["sp"] = 0;
        entry["silent"] = 0;
        entry["fsize"] =
            static_cast<Json::UInt>(std::min<std::uintmax_t>(package.size, 0xFFFFFFFFu));
        entry["opentime"] = 0;
        list.append(entry);
    }
    Json::StreamWriterBuilder writer;
    writer["indentation"] = "";
    return Json::writeString(writer, list);
}

void LocalRepository::install(const Package& package, std::shared_ptr<Sink> sink) const
{
    const RepositoryPlan plan = m_plan;
    runOnCoreThread([plan, package, sink] {
        InstallReports reports(package, sink);
        const fs::path target = fs::path(plan.modules) / package.file;
        fs::path partial = target;
        partial += ".part";
        if (!download(fs::path(plan.packages) / package.file, partial, package.size, plan,
                      reports)) {
            reports.result(kDownloadFailed);
            return;
        }
        reports.stage(2);
        reports.stage(3);
        std::error_code error;
        fs::rename(partial, target, error);
        if (error) {
            fs::remove(partial, error);
            reports.result(kInstallFailed);
            return;
        }
        std::ofstream(fs::path(plan.modules) / (package.file + ".version"), std::ios::trunc)
            << package.version << '\n';
        reports.stage(4);
        reports.result(0);
    });
}

} // namespace qorcore
