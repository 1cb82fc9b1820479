#pragma once
#include <QTimer>

#include <functional>

class QLabel;
class QProgressBar;
class QWidget;

// Runs a script once from inside the next modal run, as soon as its window is
// the active modal widget (polled: a zero-delay shot could fire before
// exec() has started). A modal run still open long after the script is
// closed with a test failure, so a broken test cannot hang the suite.
class ModalScript
{
public:
    explicit ModalScript(std::function<void(QWidget* window)> script);

private:
    QTimer m_poll;
    QTimer m_deadline;
};

// The widgets of a shown progress dialog, found in its window.
struct ProgressView
{
    explicit ProgressView(QWidget* window);

    QLabel* title = nullptr;   // the form's own title label
    QLabel* percent = nullptr; // rides above the bar
    QLabel* content = nullptr; // the line under the bar
    QProgressBar* bar = nullptr;
};
