#pragma once
#include "DRUXClient/Lifetime.h"

#include <QString>

#include <memory>
#include <vector>

class DruxClient;
class DruxClient_Userid;
class ZubInstallProgressHandler;
class IZubService;
class ITovService;

// Decides whether a component needs an update and, when the platform offers
// one, starts it and waits for it behind the progress dialog. Runs on the
// GUI thread; the busy pause and the dialog run the host's events, which may
// call back in while a run is busy or delete the controller: after each, a
// run whose controller is gone returns true at once and touches nothing.
class ZubUpdateController
{
public:
    // The host references may be null; they are not owned.
    ZubUpdateController(ITovService* tovService, IZubService* zubService);
    ~ZubUpdateController();
    ZubUpdateController(const ZubUpdateController&) = delete;
    ZubUpdateController& operator=(const ZubUpdateController&) = delete;

    // False only when a shown dialog closed with a code other than 1.
    bool checkAndUpdate(const QString& componentName, bool silent);

private:
    bool runUserFlavour(const QString& componentName, bool silent);
    bool runProductFlavour(const QString& componentName, bool silent);
    // Installs the first record when it passes; returns the run's result.
    template <class Client, class Info>
    bool installFirst(Client& client, std::vector<Info>& list, int hasUpdate,
                      const QString& componentName, bool silent);

    bool m_bBusy;
    std::unique_ptr<DruxClient_Userid> m_pUseridClient;
    std::unique_ptr<DruxClient> m_pClient;
    ITovService* m_pTovService;
    IZubService* m_pZubService;
    std::unique_ptr<ZubInstallProgressHandler> m_pProgressHandler;
    Lifetime m_lifetime;
};
