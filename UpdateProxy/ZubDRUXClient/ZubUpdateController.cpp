#include "ZubUpdateController.h"

#include "DRUXClient/DruxClient.h"
#include "DRUXClient/DruxClient_Userid.h"
#include "ZubInstallProgressHandler.h"

#include <ZubMainForm.h>

#include <QCoreApplication>
#include <QThread>

#include <string>

namespace {
const unsigned int kComponentBits = 64;

// Where the request's Qt widgets may live.
bool onGuiThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

// Only the first record of a list counts.
template <class Info>
bool recordPasses(const Info& info, const QString& componentName)
{
    return QString::fromLocal8Bit(info.appname.c_str()) == componentName && info.canUpdate != 0 &&
           info.sp == 0 && info.fsize > 0;
}
} // namespace

ZubUpdateController::ZubUpdateController(ITovService* tovService, IZubService* zubService)
    : m_bBusy(false)
    , m_pUseridClient(std::make_unique<DruxClient_Userid>())
    , m_pClient(std::make_unique<DruxClient>())
    , m_pTovService(tovService)
    , m_pZubService(zubService)
    , m_pProgressHandler(std::make_unique<ZubInstallProgressHandler>())
{}

// Both clients are stopped and gone before the handler their updates report to.
ZubUpdateController::~ZubUpdateController()
{
    m_pUseridClient->stop();
    m_pUseridClient.reset();
    m_pClient->stop();
    m_pClient.reset();
}

bool ZubUpdateController::checkAndUpdate(const QString& componentName, bool silent)
{
    Q_ASSERT(onGuiThread());
    if (m_bBusy)
        return true;
    const Lifetime::Watch alive = m_lifetime.watch();
    bool result = true;
    if (m_pUseridClient->start(componentName.toStdString(), kComponentBits) == 0)
        result = runUserFlavour(componentName, silent);
    else if (m_pClient->start(componentName.toStdString(), kComponentBits) == 0)
        result = runProductFlavour(componentName, silent);
    if (alive.expired())
        return result;
    m_pProgressHandler->closeProgressForm();
    m_bBusy = false;
    return result;
}

bool ZubUpdateController::runUserFlavour(const QString& componentName, bool silent)
{
    m_bBusy = true;
    const Lifetime::Watch alive = m_lifetime.watch();
    bool result = true;
    if (m_pTovService && m_pZubService) {
        const IZubHostObject* hostObject = m_pZubService->getHostObject();
        const QString user1 = hostObject ? hostObject->getText() : QString();
        const QString user2 = m_pTovService->getText();
        std::vector<DRUX::DruxUpdateInfoUserid> list;
        const int hasUpdate =
            m_pUseridClient->checkUpdate(user1.toStdString(), user2.toStdString(), list);
        if (alive.expired())
            return true;
        result = installFirst(*m_pUseridClient, list, hasUpdate, componentName, silent);
        if (alive.expired())
            return result;
    }
    m_pUseridClient->stop();
    return result;
}

bool ZubUpdateController::runProductFlavour(const QString& componentName, bool silent)
{
    m_bBusy = true;
    const Lifetime::Watch alive = m_lifetime.watch();
    std::vector<DRUX::DruxUpdateInfo> list;
    const int hasUpdate = m_pClient->checkUpdate(list);
    if (alive.expired())
        return true;
    const bool result = installFirst(*m_pClient, list, hasUpdate, componentName, silent);
    if (alive.expired())
        return result;
    m_pClient->stop();
    return result;
}

template <class Client, class Info>
bool ZubUpdateController::installFirst(Client& client, std::vector<Info>& list, int hasUpdate,
                                       const QString& componentName, bool silent)
{
    if (hasUpdate == 0 || list.empty() || !recordPasses(list.front(), componentName))
        return true;
    client.doUpdata(list.front(), m_pProgressHandler.get());
    if (silent)
        return true;
    const Lifetime::Watch alive = m_lifetime.watch();
    m_pProgressHandler->showProgressForm();
    // A host that deleted the controller behind the dialog gets no verdict.
    return alive.expired() || m_pProgressHandler->closeCode() == 1;
}
