#include "Suite.h"

#include "CoreScenario.h"

#include <cstring>

namespace {

BenchOptions g_options;
BenchApplication::DeliveredHook g_deliveredHook = nullptr;
void* g_deliveredContext = nullptr;

} // namespace

bool BenchApplication::notify(QObject* receiver, QEvent* event)
{
    const bool queuedCall = event->type() == QEvent::MetaCall;
    const bool result = QApplication::notify(receiver, event);
    if (queuedCall && g_deliveredHook)
        g_deliveredHook(receiver, g_deliveredContext);
    return result;
}

void BenchApplication::setDeliveredHook(DeliveredHook hook, void* context)
{
    g_deliveredHook = hook;
    g_deliveredContext = context;
}

const BenchOptions& benchOptions()
{
    return g_options;
}

bool parseBenchOptions(int& argc, char** argv)
{
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        std::string* target = nullptr;
        if (std::strcmp(argv[i], "--log-folder") == 0)
            target = &g_options.logFolder;
        else if (std::strcmp(argv[i], "--log-label") == 0)
            target = &g_options.logLabel;
        if (!target) {
            argv[kept++] = argv[i];
            continue;
        }
        if (i + 1 >= argc)
            return false;
        *target = argv[++i];
    }
    argc = kept;
    argv[argc] = nullptr;
    return true;
}

CoreScenario& suiteScenario()
{
    static CoreScenario scenario;
    return scenario;
}

bool isPartnerRun(int argc, char** argv)
{
    return argc >= 2 && std::strcmp(argv[1], "--partner") == 0;
}
