#include "ZubQualityControlServiceFactory.h"
#include "QualityControlModuleLoader.h"

#include <QualityControlUIFacade.h>

ZubQualityControlServiceFactory::~ZubQualityControlServiceFactory()
{
    if (m_pFacade) {
        delete m_pFacade;
        m_pFacade = nullptr;
    }
}

QString ZubQualityControlServiceFactory::serviceName()
{
    return QStringLiteral("ZubQualityControl");
}

bool ZubQualityControlServiceFactory::updateQualityControl(IZubUpdateHost* /*host*/, bool /*silent*/)
{
    return true;
}

QualityControlUIFacade* ZubQualityControlServiceFactory::getUIFacade(void* arg1, void* arg2, QString name,
                                                                      void* arg4, bool flag)
{
    if (!m_pFacade)
        m_pFacade = loadQualityControlFacade(arg1, arg2, name, arg4, flag);
    return m_pFacade;
}
