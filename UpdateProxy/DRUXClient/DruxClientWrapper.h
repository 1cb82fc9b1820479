#pragma once
#include "BusyPause.h"
#include "DruxClientReport.h"
#include "KaNotify.h"
#include "Lifetime.h"

#include <qor/DruxCodes.h>

#include <algorithm>
#include <string>
#include <vector>

class IDRUXNotifyInf;

// What the two update-client wrappers share over their platform client: the
// check that waits out a running update task, and the start of an update
// with a fresh sink. `Client` is DRUX::DruxClient2 or DRUX::DruxClientUserid,
// `Info` its record type.
template <class Client, class Info>
class DruxClientWrapper : public Client
{
protected:
    // `check(hasUpdate, reason, list)` is one platform check. Returns hasUpdate.
    template <class Check>
    int checkUntilSettled(Check check, std::vector<Info>& list, const char* function);
    void startUpdate(Info& info, IDRUXNotifyInf* notifyInf, const char* function);

private:
    // The platform answers busy while another update task runs. The check
    // runs on the GUI thread, so it pauses between checks rather than spin,
    // with the thread's events going on meanwhile, and gives up after a
    // bound: 50 checks 100 ms apart, about five seconds, longer than a task
    // takes to settle.
    static constexpr int kMaxBusyChecks = 50;
    static constexpr unsigned long kBusyPauseMsec = 100;

    Lifetime m_lifetime;
};

template <class Client, class Info>
template <class Check>
int DruxClientWrapper<Client, Info>::checkUntilSettled(Check check, std::vector<Info>& list,
                                                       const char* function)
{
    unsigned int hasUpdate = 0;
    std::string reason;
    int code = DRUXCODE::kBusy;
    int checks = 0;
    const Lifetime::Watch alive = m_lifetime.watch();
    while (code == DRUXCODE::kBusy && list.empty()) {
        if (checks == kMaxBusyChecks) {
            DruxClientReport::logBusyGiveUp(checks, function, __LINE__);
            break;
        }
        if (checks > 0) {
            pauseWithEventsFlowing(kBusyPauseMsec);
            // The host deleted the client meanwhile: nothing more to ask.
            if (alive.expired())
                return 0;
        }
        code = check(&hasUpdate, reason, list);
        ++checks;
    }
    if (code != DRUXCODE::kOk) {
        DruxClientReport::logFailure("DruxClient CheckUpdate failed: %1\n", code, function,
                                     __LINE__);
        return static_cast<int>(hasUpdate);
    }
    if (hasUpdate == 0) {
        DruxClientReport::logCannotUpdate(this->startedAppname(), this->startedBits(), reason,
                                          function, __LINE__);
        return 0;
    }
    list.erase(std::remove_if(list.begin(), list.end(),
                              [](const Info& info) { return info.canUpdate == 0; }),
               list.end());
    return static_cast<int>(hasUpdate);
}

template <class Client, class Info>
void DruxClientWrapper<Client, Info>::startUpdate(Info& info, IDRUXNotifyInf* notifyInf,
                                                  const char* function)
{
    auto* sink = new KaNotify(true, notifyInf);
    const bool sinkTaken = this->updateGuard(info.bits, sink) == DRUXCODE::kOk;
    const int code = this->doUpdate(info, info.bits, sink);
    if (code == DRUXCODE::kOk) {
        info.canUpdate = 0;
        return;
    }
    if (!sinkTaken)
        sink->release();
    DruxClientReport::showUpdateRefused(code);
    DruxClientReport::logFailure("DruxClient DoUpdate failed: %1\n", code, function, __LINE__);
}
