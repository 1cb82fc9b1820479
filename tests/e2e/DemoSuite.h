#pragma once
#include "CoreScenario.h"
#include "TempDir.h"
#include "TextFiles.h"

#include <optional>
#include <string>
#include <vector>

// A suite laid out in a fresh folder as its installer would: the demo host,
// the plug-in and the host libraries in bin/, Quality Control 1.0.0 in the
// module folder; beside it a package folder offering version 1.1.0, and the
// stand-in platform core (of the build) serving that folder.
class DemoSuite
{
public:
    DemoSuite();

    // Runs the suite's demo host with `arguments`; its exit code, nothing
    // when it did not end in time.
    std::optional<int> runHost(const std::vector<std::string>& arguments, int timeoutMs = 60000);

    // The version the platform recorded for the installed module.
    std::string recordedVersion() const;
    // The version the installed module itself reports.
    std::string moduleVersion() const;
    // Every call the platform core was asked by the host processes so far.
    std::string journal() const;

private:
    TempDir m_root;
    std::string m_module;
    std::string m_journal;
    CoreScenario m_core;
};
