#include "ModalScript.h"

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <gtest/gtest.h>

namespace {
const int kPollMsec = 10;
const int kDeadlineMsec = 20000;
} // namespace

ModalScript::ModalScript(std::function<void(QWidget* window)> script)
    : m_script(std::move(script))
{
    m_poll.setInterval(kPollMsec);
    connect(&m_poll, &QTimer::timeout, this, &ModalScript::poll);
    m_poll.start();
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, &ModalScript::giveUp);
}

void ModalScript::poll()
{
    QWidget* window = QApplication::activeModalWidget();
    if (!window)
        return;
    m_poll.stop();
    m_deadline.start(kDeadlineMsec);
    m_script(window);
}

void ModalScript::giveUp()
{
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        ADD_FAILURE() << "the modal run did not end";
        dialog->reject();
    }
}

bool waitUntil(const std::function<bool()>& condition, int timeoutMsec)
{
    return QTest::qWaitFor(condition, timeoutMsec);
}
