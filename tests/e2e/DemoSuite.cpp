#include "DemoSuite.h"

#include "ChildProcess.h"
#include "QualityControlProbe.h"
#include "TestPaths.h"

#include <windows.h>

#include <json/json.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {
const char* const kModule = "Module/QualityControl/1/QualityControl/ZubQualityControl64d.dll";
const char* const kManifest =
    R"({"appname":"Mirn6_QualityControl","version":"1.1.0","bits":64,"title":"Quality Control",)"
    R"("desc":"New charts","file":"ZubQualityControl64d.dll"})";
} // namespace

DemoSuite::DemoSuite()
    : m_module(fs::path(m_root.file(kModule)).make_preferred().string())
    , m_journal(m_root.file("journal.txt"))
{
    // As installed, beside the packages the stand-in core serves.
    fs::copy(TestPaths::inBuild("suite-image"), m_root.path(), fs::copy_options::recursive);
    writeFile(m_module + ".version", "1.0.0");
    writeFile(m_root.file("packages/ZubQualityControl64d.json"), kManifest);
    Json::Value scenario;
    scenario["repository"]["packages"] = m_root.file("packages");
    scenario["repository"]["modules"] = fs::path(m_module).parent_path().string();
    scenario["repository"]["paceMs"] = 20;
    scenario["repository"]["chunkBytes"] = 65536;
    m_core.write(Json::writeString(Json::StreamWriterBuilder(), scenario));
}

std::optional<int> DemoSuite::runHost(const std::vector<std::string>& arguments, int timeoutMs)
{
    return ChildProcess((fs::path(m_root.path()) / "bin" / ZUB_HOST_FILE).string(), arguments,
                        {{"QT_QPA_PLATFORM", "offscreen"},
                         {"QT_QPA_PLATFORMTHEME", ""},
                         {"ZUB_MESSAGEBOX", "record"},
                         {"QORCORE_JOURNAL", m_journal}})
        .wait(timeoutMs);
}

std::string DemoSuite::recordedVersion() const
{
    std::string version = readFile(m_module + ".version");
    version.erase(version.find_last_not_of("\r\n") + 1);
    return version;
}

std::string DemoSuite::moduleVersion() const
{
    HMODULE module = LoadLibraryA(m_module.c_str());
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
