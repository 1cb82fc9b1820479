#pragma once
#include "RegistryFixture.h"
#include "TempDir.h"

#include <string>

// A scenario for the stand-in platform core, in force while the object
// lives: the JSON goes to a file of a fresh folder that QORCORE_SCENARIO
// names, and the registry's platform "Path" (64-bit view) names the build's
// qor/ folder, which holds x64/qorcore.dll. The core reads the scenario
// afresh whenever it hands out an object, so write() takes effect with the
// next client created. The format is in standins/qorcore/README.md.
class CoreScenario
{
public:
    explicit CoreScenario(const std::string& json = "{}");
    ~CoreScenario();
    CoreScenario(const CoreScenario&) = delete;
    CoreScenario& operator=(const CoreScenario&) = delete;

    void write(const std::string& json);

    // The build's qor/ folder: the platform's install directory.
    static std::string installFolder();
    // The registry text that names `directory` as the platform's "Path" in
    // the 64-bit view and, when `wow32Directory` is not empty, in the 32-bit
    // view; an empty `directory` leaves the 64-bit key out.
    static std::string registryText(const std::string& directory,
                                    const std::string& wow32Directory = "");

    // The journal of the stand-in core loaded in this process (every call it
    // was asked, one line each), and its reset.
    static std::string journal();
    static void clearJournal();
    // How many of that core's threads are still at work.
    static int runningThreads();

private:
    TempDir m_folder;
    std::string m_path;
    RegistryFixture m_registry;
    std::string m_previous;
};
