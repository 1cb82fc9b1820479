#include "HostWindow.h"

#include <IZubQualityControlServiceFactory.h>
#include <QualityControlUIFacade.h>

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

HostWindow::HostWindow(IZubQualityControlServiceFactory* factory, QWidget* parent)
    : QWidget(parent)
    , m_pFactory(factory)
    , m_pSilentBox(new QCheckBox(QStringLiteral("silent")))
    , m_pStatusLabel(new QLabel(QStringLiteral("Service: %1").arg(factory->serviceName())))
{
    setWindowTitle(QStringLiteral("Zub demo host"));

    auto* openButton = new QPushButton(QStringLiteral("Open Quality Control"));
    auto* updateButton = new QPushButton(QStringLiteral("Update Quality Control"));
    connect(openButton, &QPushButton::clicked, this, &HostWindow::onOpenQualityControl);
    connect(updateButton, &QPushButton::clicked, this, &HostWindow::onUpdateQualityControl);

    auto* updateRow = new QHBoxLayout;
    updateRow->addWidget(updateButton, 1);
    updateRow->addWidget(m_pSilentBox);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(openButton);
    layout->addLayout(updateRow);
    layout->addWidget(m_pStatusLabel);
    resize(360, 140);
}

void HostWindow::onOpenQualityControl()
{
    QualityControlUIFacade* facade =
        m_pFactory->getUIFacade(this, nullptr, QStringLiteral("zubhost"), nullptr, false);
    if (!facade) {
        m_pStatusLabel->setText(QStringLiteral("No Quality Control module"));
        return;
    }
    facade->showMainWindow();
    m_pStatusLabel->setText(QStringLiteral("Quality Control %1").arg(facade->moduleVersion()));
}

void HostWindow::onUpdateQualityControl()
{
    const bool ok = m_pFactory->updateQualityControl(&m_updateHost, m_pSilentBox->isChecked());
    m_pStatusLabel->setText(ok ? QStringLiteral("Update ended well")
                               : QStringLiteral("Update failed"));
}
