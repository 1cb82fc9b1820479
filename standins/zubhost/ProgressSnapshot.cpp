#include "ProgressSnapshot.h"

#include <QApplication>
#include <QPixmap>
#include <QProgressBar>
#include <QWidget>
#include <cstdio>

ProgressSnapshot::ProgressSnapshot(const QString& file, int minimumPercent)
    : m_file(file)
    , m_minimumPercent(minimumPercent)
{
    connect(&m_timer, &QTimer::timeout, this, &ProgressSnapshot::look);
    m_timer.start(10);
}

void ProgressSnapshot::look()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible())
            continue;
        auto* bar = window->findChild<QProgressBar*>();
        if (!bar || bar->value() < m_minimumPercent)
            continue;
        m_timer.stop();
        m_saved = window->grab().save(m_file, "PNG");
        if (!m_saved)
            std::fprintf(stderr, "zubhost: cannot write %s\n", qPrintable(m_file));
        return;
    }
}
