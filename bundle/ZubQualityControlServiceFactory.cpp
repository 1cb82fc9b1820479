#include "ZubQualityControlServiceFactory.h"
#include "QualityControlModuleLoader.h"
#include "ZubQualityControlConstants.h"

#include "ZubDRUXClient/ZubUpdateController.h"

#include <QualityControlUIFacade.h>
#include <ZubDebugLogUtils.h>
#include <ZubMainForm.h>
#include <ZubUserActionLogUtils.h>

namespace {
// The controller of the first update request, with the main form's two
// services and its user-action log registered; null when the host hands no
// main form that is also an IZubMainForm (logged, so a later request retries).
std::unique_ptr<ZubUpdateController> createUpdateController(IZubUpdateHost* host)
{
    ITovMainForm* mainForm = host ? host->getMainForm() : nullptr;
    auto* zubMainForm = dynamic_cast<IZubMainForm*>(mainForm);
    if (!zubMainForm) {
        ZubDebugLogUtils::getInstance()->error(
            QString("ZubQualityControl update skipped: the host has no main form to update for\n"),
            QString("bundle/ZubQualityControlServiceFactory"),
            QString("ZubQualityControlServiceFactory::updateQualityControl"), __LINE__);
        return nullptr;
    }
    auto controller = std::make_unique<ZubUpdateController>(mainForm->getTovService(),
                                                            zubMainForm->getZubService());
    ITovMainForm* logForm = host->getMainForm();
    IZubUserActionLogProvider* provider = logForm ? logForm->getUserActionLogProvider() : nullptr;
    if (provider)
        ZubUserActionLogUtils::setUserActionLogService(provider->getUserActionLogService());
    return controller;
}
} // namespace

ZubQualityControlServiceFactory::ZubQualityControlServiceFactory() = default;

ZubQualityControlServiceFactory::~ZubQualityControlServiceFactory() = default;

QString ZubQualityControlServiceFactory::serviceName()
{
    return QStringLiteral("ZubQualityControl");
}

bool ZubQualityControlServiceFactory::updateQualityControl(IZubUpdateHost* host, bool silent)
{
    if (!m_pUpdateController)
        m_pUpdateController = createUpdateController(host);
    if (!m_pUpdateController)
        return true;
    return m_pUpdateController->checkAndUpdate(QString(g_strComponentName), silent);
}

QualityControlUIFacade* ZubQualityControlServiceFactory::getUIFacade(void* arg1, void* arg2,
                                                                     QString name, void* arg4,
                                                                     bool flag)
{
    if (!m_pFacade)
        m_pFacade.reset(loadQualityControlFacade(arg1, arg2, name, arg4, flag));
    return m_pFacade.get();
}
