#include "ZubUpdateController.h"

#include "DRUXClient/DruxClient.h"
#include "DRUXClient/DruxClient_Userid.h"
#include "ZubInstallProgressHandler.h"

#include <ZubMainForm.h>

#include <string>

namespace {
const unsigned int kComponentBits = 64;

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
    , m_pUseridClient(nullptr)
    , m_pClient(nullptr)
    , m_pTovService(tovService)
    , m_pZubService(zubService)
    , m_pProgressHandler(nullptr)
{
    m_pUseridClient = new DruxClient_Userid();
    m_pClient = new DruxClient();
    m_pProgressHandler = new ZubInstallProgressHandler();
}

ZubUpdateController::~ZubUpdateController()
{
    if (m_pUseridClient) {
        m_pUseridClient->stop();
        delete m_pUseridClient;
        m_pUseridClient = nullptr;
    }
    if (m_pClient) {
        m_pClient->stop();
        delete m_pClient;
        m_pClient = nullptr;
    }
    delete m_pProgressHandler;
    m_pProgressHandler = nullptr;
    m_pTovService = nullptr;
    m_pZubService = nullptr;
}

bool ZubUpdateController::checkAndUpdate(const QString& componentName, bool silent)
{
    if (m_bBusy)
        return true;
    bool result = true;
    if (m_pUseridClient->start(componentName.toStdString(), kComponentBits) == 0)
        result = runUserFlavour(componentName, silent);
    else if (m_pClient->start(componentName.toStdString(), kComponentBits) == 0)
        result = runProductFlavour(componentName, silent);
    m_pProgressHandler->closeProgressForm();
    m_bBusy = false;
    return result;
}

bool ZubUpdateController::runUserFlavour(const QString& componentName, bool silent)
{
    m_bBusy = true;
    bool result = true;
    if (m_pTovService && m_pZubService) {
        const IZubHostObject* hostObject = m_pZubService->getHostObject();
        const QString user1 = hostObject ? hostObject->getText() : QString();
        const QString user2 = m_pTovService->getText();
        std::vector<DRUX::DruxUpdateInfoUserid> list;
        const int hasUpdate =
            m_pUseridClient->checkUpdate(user1.toStdString(), user2.toStdString(), list);
        result = installFirst(*m_pUseridClient, list, hasUpdate, componentName, silent);
    }
    m_pUseridClient->stop();
    return result;
}

bool ZubUpdateController::runProductFlavour(const QString& componentName, bool silent)
{
    m_bBusy = true;
    std::vector<DRUX::DruxUpdateInfo> list;
    const int hasUpdate = m_pClient->checkUpdate(list);
    const bool result = installFirst(*m_pClient, list, hasUpdate, componentName, silent);
    m_pClient->stop();
    return result;
}

template <class Client, class Info>
bool ZubUpdateController::installFirst(Client& client, std::vector<Info>& list, int hasUpdate,
                                       const QString& componentName, bool silent)
{
    if (hasUpdate == 0 || list.empty() || !recordPasses(list.front(), componentName))
        return true;
    client.doUpdata(list.front(), m_pProgressHandler);
    if (silent)
        return true;
    m_pProgressHandler->showProgressForm();
    return m_pProgressHandler->closeCode() == 1;
}
