#pragma once
#include <QObject>
#include <QString>
#include <QTimer>

// Saves the progress dialog as PNG once its bar has passed a threshold: the
// update runs in the plug-in's modal loop, so the host can only watch from a
// timer of its own.
class ProgressSnapshot : public QObject
{
    Q_OBJECT
public:
    ProgressSnapshot(const QString& file, int minimumPercent);
    bool saved() const { return m_saved; }

private slots:
    void look();

private:
    QString m_file;
    int m_minimumPercent;
    bool m_saved = false;
    QTimer m_timer;
};
