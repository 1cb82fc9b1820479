#include "ProcessObjects.h"

#include <libdruxclient/ProcessEnd.h>

namespace QORCLIENT {
namespace {

// Built during static initialisation, before any of its objects is asked for,
// so it is torn down after every static object completed later.
ProcessObjects g_processObjects;

} // namespace

ProcessObjects& ProcessObjects::processWide()
{
    return g_processObjects;
}

qorlog& ProcessObjects::logger(const char* directory, const char* name, const char* eventBase)
{
    return m_logger.get(directory, name, eventBase);
}

QORClient& ProcessObjects::client()
{
    return m_client.get(m_modules, m_end);
}

ProcessObjects::LoggerSlot::~LoggerSlot()
{
    if (qorlog* logger = made())
        logger->stop(m_end.isEnding());
}

ProcessObjects::ClientSlot::~ClientSlot()
{
    if (QORClient* client = made())
        client->~QORClient();
}

void processEnding()
{
    ProcessObjects::processWide().processEnding();
}

} // namespace QORCLIENT
