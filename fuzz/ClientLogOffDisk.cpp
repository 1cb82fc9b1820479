#include "ClientLogOffDisk.h"

#include <qorlog.h>

void keepClientLogOffDisk()
{
    qorlog::instance("/nonexistent/fuzzing/no-log-folder", nullptr, nullptr);
}
