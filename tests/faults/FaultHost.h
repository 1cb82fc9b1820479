#pragma once
#include "FaultCase.h"

#include <string>

// The host side of a fault case, run in the case's suite: asks the plug-in for
// an update as the case's host would, waits for the platform to release its
// sinks, lets go of the plug-in and writes what it saw into `folder`, a file
// per source. False when the plug-in could not be used at all.
bool serveOneUpdateRequest(const FaultCase& fault, const std::string& folder);
