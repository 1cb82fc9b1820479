#pragma once
#include <IZubQualityControlServiceFactory.h>

class ZubUpdateController;

// The service the bundle registers: the Quality Control facade, loaded on
// demand from the suite's module folder, and the component's update.
class ZubQualityControlServiceFactory : public IZubQualityControlServiceFactory
{
public:
    ZubQualityControlServiceFactory() = default;
    ~ZubQualityControlServiceFactory() override;
    ZubQualityControlServiceFactory(const ZubQualityControlServiceFactory&) = delete;
    ZubQualityControlServiceFactory& operator=(const ZubQualityControlServiceFactory&) = delete;

    QString serviceName() override;
    bool updateQualityControl(IZubUpdateHost* host, bool silent) override;
    QualityControlUIFacade* getUIFacade(void* arg1, void* arg2, QString name, void* arg4,
                                        bool flag) override;

private:
    QualityControlUIFacade* m_pFacade = nullptr;
    ZubUpdateController* m_pUpdateController = nullptr;
};
