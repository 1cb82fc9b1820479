#include "ScenarioFile.h"

#include "Files.h"

#include <cstdlib>

namespace qorcore {

bool loadScenario(Scenario& scenario)
{
    const char* named = std::getenv("QORCORE_SCENARIO");
    const std::string path =
        named && *named ? named : installDirectory() + "\\qorcore.scenario.json";
    std::string text;
    if (!readWholeFile(path, text)) {
        if (!named || !*named) {
            scenario = Scenario();
            return true;
        }
        debugLine("qorcore: scenario %s cannot be opened", path.c_str());
        return false;
    }
    std::string error;
    if (!parseScenario(text, scenario, error)) {
        debugLine("qorcore: scenario %s is not usable: %s", path.c_str(), error.c_str());
        return false;
    }
    return true;
}

} // namespace qorcore
