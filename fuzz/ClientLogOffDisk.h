#pragma once
#include <libdruxclient/qorlog.h>

// The client layer logs every step, each line committed to a file beside the
// program. Millions of inputs would make that the fuzzer's whole work: the
// logger is created first with a folder that does not exist, so its lines go
// to the debugger output alone (which goes nowhere unless asked for).
inline void keepClientLogOffDisk()
{
    qorlog::instance("/nonexistent/fuzzing/no-log-folder", nullptr, nullptr);
}
