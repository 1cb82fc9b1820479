#pragma once
#include <QualityControlUIFacade.h>

#include <QPointer>
#include <QWidget>

// A facade whose window names the module's version and the caller's name.
class StandInFacade : public QualityControlUIFacade
{
public:
    StandInFacade(const QString& version, const QString& name);
    ~StandInFacade() override;

    QString moduleVersion() const override;
    void showMainWindow() override;

private:
    QString m_version;
    QString m_name;
    QPointer<QWidget> m_pWindow;
};
