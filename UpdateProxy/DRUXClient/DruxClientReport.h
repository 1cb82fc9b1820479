#pragma once
#include <string>

// Host-log and message-box reporting shared by the two update-client wrappers.
namespace DruxClientReport {
// Failure line: `text` with %1 replaced by the code in signed decimal.
void logFailure(const char* text, int code, const char* function, int line);
// The platform answered a check with nothing to install, and why.
void logCannotUpdate(const std::string& appname, unsigned int bits, const std::string& reason,
                     const char* function, int line);
// Repeated busy answers made the check give up.
void logBusyGiveUp(int checks, const char* function, int line);
// Tells the user why the platform refused an update.
void showUpdateRefused(int code);
} // namespace DruxClientReport
