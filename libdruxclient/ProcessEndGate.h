#pragma once
#include <atomic>

namespace QORCLIENT {

// Set once the process is ending (see <libdruxclient/ProcessEnd.h>); each
// object of the client layer reads it as it is torn down.
class ProcessEndGate
{
public:
    void processEnding() { m_bEnding.store(true); }
    bool isEnding() const { return m_bEnding.load(); }

private:
    std::atomic<bool> m_bEnding{false};
};

} // namespace QORCLIENT
