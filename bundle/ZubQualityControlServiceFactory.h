#pragma once
#include <IZubQualityControlServiceFactory.h>

#include <memory>

class ZubUpdateController;

// The service the bundle registers: the Quality Control facade, loaded on
// demand from the suite's module folder, and the component's update.
class ZubQualityControlServiceFactory : public IZubQualityControlServiceFactory
{
public:
    ZubQualityControlServiceFactory();
    ~ZubQualityControlServiceFactory() override;
    ZubQualityControlServiceFactory(const ZubQualityControlServiceFactory&) = delete;
    ZubQualityControlServiceFactory& operator=(const ZubQualityControlServiceFactory&) = delete;

    QString serviceName() override;
    bool updateQualityControl(IZubUpdateHost* host, bool silent) override;
    QualityControlUIFacade* getUIFacade(void* arg1, void* arg2, QString name, void* arg4,
                                        bool flag) override;

private:
    // Destroyed in reverse: the controller goes before the facade.
    std::unique_ptr<QualityControlUIFacade> m_pFacade;
    std::unique_ptr<ZubUpdateController> m_pUpdateController;
};
