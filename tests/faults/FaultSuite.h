#pragma once
#include "FaultCase.h"
#include "Observations.h"
#include "RegistryFixture.h"
#include "TempDir.h"

#include <optional>
#include <string>

// A suite laid out for one fault in a fresh folder:
//   bin/          this test program (the host), the plug-in, the host and winport libraries
//   qor/x64/      the platform core, or what stands in its place
//   registry      as the case wants it, installed while the object lives
//   scenario.json the stand-in core's scenario
// The Quality Control module would be in Module/, beside bin/. The host's
// answers land beside them: report.txt, stdout.txt, journal.txt,
// debugger.txt, and the client log in bin/.
class FaultSuite
{
public:
    explicit FaultSuite(const FaultCase& fault);

    // Whether a fast clock can be had: faketime, a POSIX program that preloads
    // its library into the host; Windows has none.
    static bool fastClockAvailable();
    // Whether the loader tells libraries that the process ends (Windows'
    // DLL_PROCESS_DETACH with `reserved` set); POSIX has no such notice.
    static bool processEndReachesLibraries();
    // Runs the suite's host for the case; its exit code, nothing when it did
    // not end within the case's time.
    std::optional<int> runHost();
    // Everything the host left behind; `result` is what the update request returned.
    Observations observations(std::optional<bool>& result) const;
    // An answer with its placeholders filled in.
    std::string expanded(const std::string& answer) const;

private:
    void layOutBin() const;
    void layOutCore() const;
    std::string registryText() const;
    std::string scenarioText() const;

    const FaultCase& m_case;
    TempDir m_root;
    std::string m_bin;
    std::string m_qor;
    std::string m_gone;
    RegistryFixture m_registry;
};

// Names of the files the host writes into the case's folder.
namespace FaultFiles {
const char* const kReport = "report.txt";
const char* const kStdout = "stdout.txt";
const char* const kJournal = "journal.txt";
const char* const kDebugger = "debugger.txt";
const char* const kGate = "gate";
const char* const kLateModule = "module-later.dll";
// Environment variables that tell the host its case and folder.
const char* const kCaseVariable = "FAULT_CASE";
const char* const kFolderVariable = "FAULT_FOLDER";
} // namespace FaultFiles
