#pragma once
#include <libdruxclient/qorlog.h>

// Every step of the client layer goes to the one process-wide logger with its
// default directory, name and event.
inline qorlog* clientLog()
{
    return qorlog::instance(nullptr, nullptr, nullptr);
}
