#include "CoreScenario.h"

#include "RegistryFixture.h"
#include "TestPaths.h"

#include <windows.h>

#include <cstdlib>
#include <fstream>

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

// The core library of the build, held loaded while the object lives.
class CoreLibrary
{
public:
    CoreLibrary()
        : m_module(LoadLibraryA(TestPaths::inBuild("qor/x64/qorcore.dll").c_str()))
    {}
    ~CoreLibrary()
    {
        if (m_module)
            FreeLibrary(m_module);
    }
    CoreLibrary(const CoreLibrary&) = delete;
    CoreLibrary& operator=(const CoreLibrary&) = delete;

    template <class Function>
    Function function(const char* name) const
    {
        return reinterpret_cast<Function>(
            reinterpret_cast<void (*)()>(m_module ? GetProcAddress(m_module, name) : nullptr));
    }

private:
    HMODULE m_module;
};

} // namespace

CoreScenario::CoreScenario(const std::string& json)
    : m_path(m_folder.file("qorcore.scenario.json"))
{
    const char* previous = std::getenv(kScenarioVariable);
    m_previous = previous ? previous : "";
    write(json);
    setEnvironment(kScenarioVariable, m_path);
    m_registry = std::make_unique<RegistryFixture>();
    m_registry->install(registryText(installFolder()));
}

CoreScenario::~CoreScenario()
{
    setEnvironment(kScenarioVariable, m_previous);
}

void CoreScenario::write(const std::string& json)
{
    std::ofstream(m_path, std::ios::binary | std::ios::trunc) << json;
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
    const CoreLibrary core;
    const auto read = core.function<const char* (*)()>("qorcore_journal");
    return read ? std::string(read()) : std::string();
}

void CoreScenario::clearJournal()
{
    const CoreLibrary core;
    if (const auto clear = core.function<void (*)()>("qorcore_journal_clear"))
        clear();
}

void CoreScenario::setEnvironment(const std::string& name, const std::string& value)
{
#ifdef _WIN32
    _putenv_s(name.c_str(), value.c_str());
#else
    if (value.empty())
        unsetenv(name.c_str());
    else
        setenv(name.c_str(), value.c_str(), 1);
#endif
}
