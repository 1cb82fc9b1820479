#include "ZubInstallProgressHandler.h"

#include "ZubProgressForm/ZubProgressForm.h"

#include <qor/DruxCodes.h>
#include <MirnMessageBox.h>
#include <ZubCustomTitleDialog.h>

#include <QTimer>

namespace {
// How long the install stage may take before the update counts as failed.
const int kInstallTimeoutMsec = 300000;
} // namespace

ZubInstallProgressHandler::ZubInstallProgressHandler()
    : m_pTimer(new QTimer())
    , m_pProgressForm(nullptr)
    , m_nCloseCode(1)
{
    connect(m_pTimer, SIGNAL(timeout()), this, SLOT(doTimeout()));
    // Reports arrive on the platform's thread, and a QTimer may only be
    // started on its own thread: the self-connection queues the start there.
    connect(this, SIGNAL(onNotifyStartTimeOut(int)), this, SLOT(doStartTimer(int)));
}

ZubInstallProgressHandler::~ZubInstallProgressHandler()
{
    // A late report of the platform must not meet a half-destroyed handler.
    endNotifications();
    closeProgressForm();
    delete m_pTimer;
    m_pTimer = nullptr;
}

// Runs on the notifying thread. It never touches the form: it only tests the
// pointer and emits. If closeProgressForm deletes the form meanwhile, either
// the emission comes first and its queued call is discarded with the form, or
// the form's destructor has already cut the connection; Qt serialises both
// under the sender's connection lock, so no call can reach a deleted form.
void ZubInstallProgressHandler::notifyProgress(int stage, int percent)
{
    if (!m_pProgressForm.loadAcquire())
        return;
    switch (stage) {
    case DRUXCODE::kDownloading:
        emit onNotifyUpdateProgressForm(QString("组件下载中, 请稍后..."), percent);
        break;
    case DRUXCODE::kDownloadOver:
        emit onNotifyUpdateProgressForm(QString("组件下载完成"), 95);
        break;
    case DRUXCODE::kInstalling:
        emit onNotifyUpdateProgressForm(QString("组件安装中, 请稍后..."), 99);
        emit onNotifyStartTimeOut(kInstallTimeoutMsec);
        break;
    case DRUXCODE::kInstallOver: emit onNotifyEndProgerssForm(1); break;
    default: break;
    }
}

void ZubInstallProgressHandler::showProgressForm()
{
    m_pTimer->stop();
    auto* form = new ZubProgressForm(nullptr);
    m_pProgressForm.storeRelease(form);
    connect(this, SIGNAL(onNotifyUpdateProgressForm(QString, int)), form,
            SLOT(updateProgress(QString, int)));
    connect(this, SIGNAL(onNotifyEndProgerssForm(int)), form, SLOT(endProgress(int)));
    connect(form, SIGNAL(onNotifyFormClose(int)), this, SLOT(doProgressFormClose(int)));
    form->showProgress(QString("组件升级中"), QString("软件升级中, 请稍后..."), true, true,
                       nullptr);
}

int ZubInstallProgressHandler::closeCode()
{
    return m_nCloseCode;
}

void ZubInstallProgressHandler::closeProgressForm()
{
    m_pTimer->stop();
    ZubProgressForm* form = m_pProgressForm.fetchAndStoreOrdered(nullptr);
    if (!form)
        return;
    // A modal run leaves the finished window alive; it goes with its form.
    delete form->titleDialog();
    delete form;
}

const QTimer* ZubInstallProgressHandler::watchdog() const
{
    return m_pTimer;
}

void ZubInstallProgressHandler::doProgressFormClose(int result)
{
    m_nCloseCode = result;
}

void ZubInstallProgressHandler::doStartTimer(int msec)
{
    m_pTimer->stop();
    m_pTimer->start(msec);
}

void ZubInstallProgressHandler::doTimeout()
{
    m_pTimer->stop();
    MirnMessageBox::tip(QString("组件升级失败，请重启电脑后重试"), nullptr, false, QString());
    emit onNotifyEndProgerssForm(0);
}
