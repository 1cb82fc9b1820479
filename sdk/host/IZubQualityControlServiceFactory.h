#pragma once
#include "IServiceFactory.h"
#include <QString>

class QualityControlUIFacade;
class IZubUpdateHost;

class ZUB_INTERFACE IZubQualityControlServiceFactory : public IServiceFactory
{
public:
    ~IZubQualityControlServiceFactory() override {}
    QString serviceName() override = 0;
    virtual bool updateQualityControl(IZubUpdateHost* host, bool silent) = 0;
    virtual QualityControlUIFacade* getUIFacade(void* arg1, void* arg2, QString name, void* arg4,
                                                bool flag) = 0;
};
