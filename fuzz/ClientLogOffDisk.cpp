#include "ClientLogOffDisk.h"

#include <libdruxclient/qorlog.h>

void keepClientLogOffDisk()
{
    qorlog::instance("/nonexistent/fuzzing/no-log-folder", nullptr, nullptr);
}
