#pragma once
#include "DRUXClient/IDRUXNotifyInf.h"

#include <QAtomicPointer>
#include <QString>

class QTimer;
class ZubProgressForm;

// Carries stage reports from the platform's thread to the progress dialog by
// queued signals, and ends the dialog when the install stage hangs.
class ZubInstallProgressHandler : public IDRUXNotifyInf
{
    Q_OBJECT
public:
    ZubInstallProgressHandler();
    ~ZubInstallProgressHandler() override;

    void notifyProgress(int stage, int percent) override;

    // Shows the dialog modally; returns once it has closed.
    void showProgressForm();
    int closeCode();
    void closeProgressForm();
    // The install watchdog, running while an install stage is being timed.
    const QTimer* watchdog() const;

signals:
    void onNotifyUpdateProgressForm(QString content, int percentage);
    void onNotifyEndProgerssForm(int r);
    void onNotifyStartTimeOut(int msec);

public slots:
    void doProgressFormClose(int result);
    void doStartTimer(int msec);
    void doTimeout();

private:
    // The GUI thread, where the handler lives: the dialog and the watchdog's.
    bool onOwnThread() const;

    QTimer* m_pTimer; // a child: goes with the handler
    // Set and cleared on the GUI thread, tested on the notifying thread.
    QAtomicPointer<ZubProgressForm> m_pProgressForm;
    int m_nCloseCode;
};
