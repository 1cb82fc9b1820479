#pragma once
#include "Scenario.h"

namespace qorcore {

// Reads the scenario in force: the file named by QORCORE_SCENARIO, otherwise
// qorcore.scenario.json in the install directory (the folder above the
// library's). A missing default file means the default scenario. A scenario
// that cannot be read goes to the debugger output with the reason.
bool loadScenario(Scenario& scenario);

} // namespace qorcore
