#pragma once
#include "FaultCase.h"

#include <string>

// The host side of a fault case, run in the case's suite: loads the plug-in,
// activates its bundle, asks the registered factory for one update as the
// case's host would, waits until every notification sink the platform got
// was released, tears the plug-in down, and writes what it saw into
// `folder` (FaultSuite.h names the files). False when the plug-in could not
// be used at all.
bool serveOneUpdateRequest(const FaultCase& fault, const std::string& folder);
