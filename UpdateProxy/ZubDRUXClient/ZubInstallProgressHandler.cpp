#include "ZubInstallProgressHandler.h"

#include "ZubProgressForm/ZubProgressForm.h"

#include <qor/DruxCodes.h>
#include <MirnMessageBox.h>
#include <ZubCustomTitleDialog.h>

#include <QThread>
#include <QTimer>

#include <memory>

namespace {
// How long the install stage may take before the update counts as failed.
const int kInstallTimeoutMsec = 300000;
} // namespace

ZubInstallProgressHandler::ZubInstallProgressHandler()
    : m_pTimer(new QTimer(this))
    , m_pProgressForm(nullptr)
    , m_nCloseCode(1)
{
    connect(m_pTimer, &QTimer::timeout, this, &ZubInstallProgressHandler::doTimeout);
    // Reports arrive on the platform's thread, and a QTimer may only be
    // started on its own thread. Automatic connections: a signal emitted on
    // another thread is queued to the handler's, one emitted on the GUI
    // thread is delivered at once.
    connect(this, &ZubInstallProgressHandler::onNotifyStartTimeOut, this,
            &ZubInstallProgressHandler::doStartTimer);
}

ZubInstallProgressHandler::~ZubInstallProgressHandler()
{
    // A late report of the platform must not meet a half-destroyed handler.
    endNotifications();
    closeProgressForm();
    // The watchdog goes with the QObject base, its parent.
}

// Runs on the notifying thread. It never touches the form: it only tests the
// pointer and emits. If closeProgressForm deletes the form meanwhile, either
// the emission comes first and its queued call is discarded with the form, or
// the form's destructor has already cut the connection. Qt tests the
// connection and posts the call under the receiver's connection lock, the
// one the form's destructor takes to cut it, so no call can reach a deleted
// form.
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
    Q_ASSERT(onOwnThread());
    m_pTimer->stop();
    auto* form = new ZubProgressForm(nullptr);
    m_pProgressForm.storeRelease(form);
    // The platform's thread emits these: automatic connections queue them to
    // the form's thread.
    connect(this, &ZubInstallProgressHandler::onNotifyUpdateProgressForm, form,
            &ZubProgressForm::updateProgress);
    connect(this, &ZubInstallProgressHandler::onNotifyEndProgerssForm, form,
            &ZubProgressForm::endProgress);
    connect(form, &ZubProgressForm::onNotifyFormClose, this,
            &ZubInstallProgressHandler::doProgressFormClose);
    form->showProgress(QString("组件升级中"), QString("软件升级中, 请稍后..."), true, true,
                       nullptr);
}

int ZubInstallProgressHandler::closeCode()
{
    return m_nCloseCode;
}

void ZubInstallProgressHandler::closeProgressForm()
{
    Q_ASSERT(onOwnThread());
    m_pTimer->stop();
    const std::unique_ptr<ZubProgressForm> form(m_pProgressForm.fetchAndStoreOrdered(nullptr));
    if (!form)
        return;
    // A modal run leaves the finished window alive; it goes with its form.
    delete form->titleDialog();
}

bool ZubInstallProgressHandler::onOwnThread() const
{
    return QThread::currentThread() == thread();
}

const QTimer* ZubInstallProgressHandler::watchdog() const
{
    return m_pTimer;
}

void ZubInstallProgressHandler::doProgressFormClose(int result)
{
    m_nCloseCode = result;
}

// A stage-3 report that passed the form test just before closeProgressForm
// queues its start after the run: with no dialog left, the watchdog stays off.
void ZubInstallProgressHandler::doStartTimer(int msec)
{
    Q_ASSERT(onOwnThread());
    if (!m_pProgressForm.loadAcquire())
        return;
    m_pTimer->stop();
    m_pTimer->start(msec);
}

void ZubInstallProgressHandler::doTimeout()
{
    Q_ASSERT(onOwnThread());
    m_pTimer->stop();
    MirnMessageBox::tip(QString("组件升级失败，请重启电脑后重试"), nullptr, false, QString());
    emit onNotifyEndProgerssForm(0);
}
