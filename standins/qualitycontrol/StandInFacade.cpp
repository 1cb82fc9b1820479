#include "StandInFacade.h"

#include <QLabel>
#include <QVBoxLayout>

StandInFacade::StandInFacade(const QString& version, const QString& name)
    : m_version(version)
    , m_name(name)
{}

StandInFacade::~StandInFacade()
{
    delete m_pWindow;
}

QString StandInFacade::moduleVersion() const
{
    return m_version;
}

void StandInFacade::showMainWindow()
{
    if (!m_pWindow) {
        m_pWindow = new QWidget;
        m_pWindow->setWindowTitle(QStringLiteral("质量控制"));
        auto* layout = new QVBoxLayout(m_pWindow);
        layout->addWidget(new QLabel(QStringLiteral("质量控制模块 %1").arg(m_version)));
        if (!m_name.isEmpty())
            layout->addWidget(new QLabel(m_name));
        m_pWindow->resize(320, 120);
    }
    m_pWindow->show();
    m_pWindow->raise();
}
