#pragma once
#include <QObject>
#include <QTimer>

#include <functional>

class QWidget;

// Runs a script once from inside the next modal run, as soon as its window is
// the active modal widget (polled: a zero-delay shot could fire before
// exec() has started). A modal run still open long after the script is
// closed with a test failure, so a broken test cannot hang the suite.
class ModalScript : public QObject
{
public:
    explicit ModalScript(std::function<void(QWidget* window)> script);

private:
    void poll();
    void giveUp();

    std::function<void(QWidget*)> m_script;
    QTimer m_poll;
    QTimer m_deadline;
};

// Processes events until `condition` holds; false after `timeoutMsec`.
bool waitUntil(const std::function<bool()>& condition, int timeoutMsec = 5000);
