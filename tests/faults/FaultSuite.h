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
// answers land beside them, a file per source (sourceFile), and the client
// log in bin/.
class FaultSuite
{
public:
    explicit FaultSuite(const FaultCase& fault);

    // Runs the suite's host for the case; its exit code, nothing when it did
    // not end within the case's time.
    std::optional<int> runHost();
    // Everything the host left behind.
    Observations observations() const;
    // An answer with its placeholders filled in.
    std::string expanded(const std::string& answer) const;

private:
    const FaultCase& m_case;
    TempDir m_root;
    std::string m_bin;
    std::string m_qor;
    std::string m_gone;
    RegistryFixture m_registry;
};

// The file in the case's folder that holds a source's lines (see FaultCase.h).
inline std::string sourceFile(const std::string& folder, const char* source)
{
    return folder + "/" + source + ".txt";
}

// Other files in the case's folder.
namespace FaultFiles {
const char* const kGate = "gate";
const char* const kModule = "Module/QualityControl/1/QualityControl/ZubQualityControl64d.dll";
const char* const kLateModule = "module-later.dll";
// Environment variables that tell the host its case and folder.
const char* const kCaseVariable = "FAULT_CASE";
const char* const kFolderVariable = "FAULT_FOLDER";
} // namespace FaultFiles
