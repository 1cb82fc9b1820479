#pragma once
#include "DebugCapture.h"

#include <string>
#include <vector>

// The messages of the client log's stamped lines that a capture saw, in
// order, without stamp, ids, module tag or line end. Debugger-only lines are
// left out (told apart by their longer tag: the test's module name must be
// longer than 10 characters).
std::vector<std::string> loggedMessages(const DebugCapture& capture);

// How many captured log lines carry exactly `message`.
int countLogged(const DebugCapture& capture, const std::string& message);
