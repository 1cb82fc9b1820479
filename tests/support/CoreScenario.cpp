#include "CoreScenario.h"

#include "TestPaths.h"
#include "TextFiles.h"

#include <windows.h>

#include <cstdlib>

namespace {

const char* const kScenarioVariable = "QORCORE_SCENARIO";

std::string regString(const std::string& text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

// Sets a variable of this process's environment, which children started
// later inherit; the core takes an empty one for none.
void setEnvironment(const std::string& name, const std::string& value)
{
#ifdef _WIN32
    _putenv_s(name.c_str(), value.c_str());
#else
    setenv(name.c_str(), value.c_str(), 1);
#endif
}

} // namespace

CoreScenario::CoreScenario(const std::string& json)
    : m_path(m_folder.file("qorcore.scenario.json"))
{
    const char* previous = std::getenv(kScenarioVariable);
    m_previous = previous ? previous : "";
    write(json);
    setEnvironment(kScenarioVariable, m_path);
    m_registry.install(registryText(installFolder()));
}

CoreScenario::~CoreScenario()
{
    setEnvironment(kScenarioVariable, m_previous);
}

void CoreScenario::write(const std::string& json)
{
    writeFile(m_path, json);
}

std::string CoreScenario::installFolder()
{
    return TestPaths::inBuild("qor");
}

std::string CoreScenario::registryText(const std::string& directory,
                                       const std::string& wow32Directory)
{
    std::string text = "REGEDIT4\n\n";
    if (!directory.empty())
        text +=
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Trevik\\QOR\\2.0]\n\"Path\"=" + regString(directory) +
            "\n\n";
    if (!wow32Directory.empty())
        text += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Trevik\\QOR\\2.0]\n\"Path\"=" +
                regString(wow32Directory) + "\n\n";
    return text;
}

std::string CoreScenario::journal()
{
    const HMODULE core = LoadLibraryA(TestPaths::inBuild("qor/x64/qorcore.dll").c_str());
    const auto read = reinterpret_cast<const char* (*)()>(
        reinterpret_cast<void (*)()>(GetProcAddress(core, "qorcore_journal")));
    const std::string text = read ? read() : "";
    FreeLibrary(core);
    return text;
}

int CoreScenario::runningThreads()
{
    const HMODULE core = LoadLibraryA(TestPaths::inBuild("qor/x64/qorcore.dll").c_str());
    const auto running = reinterpret_cast<int (*)()>(
        reinterpret_cast<void (*)()>(GetProcAddress(core, "qorcore_running_threads")));
    const int count = running ? running() : 0;
    FreeLibrary(core);
    return count;
}

void CoreScenario::clearJournal()
{
    const HMODULE core = LoadLibraryA(TestPaths::inBuild("qor/x64/qorcore.dll").c_str());
    if (const auto clear =
            reinterpret_cast<void (*)()>(GetProcAddress(core, "qorcore_journal_clear")))
        clear();
    FreeLibrary(core);
}
