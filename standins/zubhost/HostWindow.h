#pragma once
#include "HostServices.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class IZubQualityControlServiceFactory;

// The demo host's main window: opens the Quality Control facade and runs an
// update of the component through the plug-in's factory.
class HostWindow : public QWidget
{
    Q_OBJECT
public:
    explicit HostWindow(IZubQualityControlServiceFactory* factory, QWidget* parent = nullptr);

private slots:
    void onOpenQualityControl();
    void onUpdateQualityControl();

private:
    IZubQualityControlServiceFactory* m_pFactory;
    DemoUpdateHost m_updateHost;
    QCheckBox* m_pSilentBox;
    QLabel* m_pStatusLabel;
};
