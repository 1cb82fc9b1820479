#include "DemoSuite.h"

#include "ChildProcess.h"
#include "QualityControlProbe.h"
#include "TestPaths.h"
#include "TextFiles.h"

#include <windows.h>

#include <json/json.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {
const char* const kModuleFolder = "Module/QualityControl/1/QualityControl";
const char* const kModuleFile = "ZubQualityControl64d.dll";

std::string text(const Json::Value& value)
{
    return Json::writeString(Json::StreamWriterBuilder(), value);
}

std::string built(const std::string& relative)
{
    return TestPaths::inBuild(relative);
}
} // namespace

DemoSuite::DemoSuite()
    : m_bin((fs::path(m_root.path()) / "suite" / "bin").string())
    , m_modules(
          (fs::path(m_root.path()) / "suite" / fs::path(kModuleFolder).make_preferred()).string())
    , m_packages(m_root.file("packages"))
    , m_journal(m_root.file("journal.txt"))
{
    layOutBin();
    layOutModules();
    Json::Value scenario;
    scenario["repository"]["packages"] = m_packages;
    scenario["repository"]["modules"] = m_modules;
    scenario["repository"]["paceMs"] = 20;
    scenario["repository"]["chunkBytes"] = 65536;
    m_core.write(text(scenario));
}

void DemoSuite::layOutBin() const
{
    // As installed: host, plug-in and everything they load, the module 1.0.0.
    fs::create_directories(m_bin);
    fs::copy(built("suite-image/bin"), m_bin, fs::copy_options::recursive);
}

void DemoSuite::layOutModules() const
{
    fs::create_directories(m_modules);
    fs::copy_file(built(std::string("suite-image/") + kModuleFolder + "/" + kModuleFile),
                  fs::path(m_modules) / kModuleFile);
    writeFile((fs::path(m_modules) / (std::string(kModuleFile) + ".version")).string(), "1.0.0");

    fs::create_directories(m_packages);
    fs::copy_file(built(std::string("suite-image/packages/") + kModuleFile),
                  fs::path(m_packages) / kModuleFile);
    Json::Value manifest;
    manifest["appname"] = "Mirn6_QualityControl";
    manifest["version"] = "1.1.0";
    manifest["bits"] = 64;
    manifest["title"] = "Quality Control";
    manifest["desc"] = "New charts";
    manifest["file"] = kModuleFile;
    writeFile((fs::path(m_packages) / "ZubQualityControl64d.json").string(), text(manifest));
}

std::optional<int> DemoSuite::runHost(const std::vector<std::string>& arguments, int timeoutMs)
{
    ChildProcess host((fs::path(m_bin) / ZUB_HOST_FILE).string(), arguments,
                      {{"QT_QPA_PLATFORM", "offscreen"},
                       {"QT_QPA_PLATFORMTHEME", ""},
                       {"ZUB_MESSAGEBOX", "record"},
                       {"QORCORE_JOURNAL", m_journal}});
    if (!host.started())
        return std::nullopt;
    return host.wait(timeoutMs);
}

std::string DemoSuite::recordedVersion() const
{
    std::string version =
        readFile((fs::path(m_modules) / (std::string(kModuleFile) + ".version")).string());
    version.erase(version.find_last_not_of("\r\n") + 1);
    return version;
}

std::string DemoSuite::moduleVersion() const
{
    const std::string path = (fs::path(m_modules) / kModuleFile).string();
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module)
        return std::string();
    const auto probe = reinterpret_cast<GetQualityControlProbeFunc>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, "getQualityControlProbe")));
    const std::string version = probe ? probe()->version : "";
    FreeLibrary(module);
    return version;
}

std::string DemoSuite::journal() const
{
    return readFile(m_journal);
}
