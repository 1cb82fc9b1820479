#include <MirnMessageBox.h>
#include <PevMessageBox.h>
#include "ZubHostTesting.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <atomic>
#include <cstdio>
#include <mutex>

namespace {

using ZubHostTesting::MessageBoxKind;
using ZubHostTesting::MessageBoxRecord;

std::mutex g_mutex;
std::vector<MessageBoxRecord> g_records;
ZubHostTesting::MessageBoxCallback g_callback;
std::atomic<bool> g_forceRecord{false};

// A real box needs a widget application with a screen, and the GUI thread.
bool canShowWindow()
{
    QApplication* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app || QThread::currentThread() != app->thread())
        return false;
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

bool recordOnly()
{
    return g_forceRecord || qgetenv("ZUB_MESSAGEBOX") == "record" || !canShowWindow();
}

const char* boxName(MessageBoxKind box)
{
    return box == MessageBoxKind::Pev ? "PevMessageBox" : "MirnMessageBox";
}

int tip(const MessageBoxRecord& record, QWidget* parent, bool modalToApplication)
{
    ZubHostTesting::MessageBoxCallback callback;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        g_records.push_back(record);
        callback = g_callback;
    }
    if (callback)
        callback(record);

    if (recordOnly()) {
        std::fprintf(stderr, "[%s] %s\n", boxName(record.box), record.text.toUtf8().constData());
        return QMessageBox::Ok;
    }
    QMessageBox box(QMessageBox::Information, QStringLiteral("提示"), record.text, QMessageBox::Ok,
                    parent);
    box.setDetailedText(record.detail);
    if (modalToApplication)
        box.setWindowModality(Qt::ApplicationModal);
    return box.exec();
}

} // namespace

int PevMessageBox::tip(const QString& text, QWidget* parent, bool modalToApplication)
{
    return ::tip({MessageBoxKind::Pev, text, QString()}, parent, modalToApplication);
}

int MirnMessageBox::tip(const QString& text, QWidget* parent, bool modalToApplication,
                        const QString& detail)
{
    return ::tip({MessageBoxKind::Mirn, text, detail}, parent, modalToApplication);
}

void ZubHostTesting::recordMessageBoxes(bool on)
{
    g_forceRecord = on;
}

std::vector<MessageBoxRecord> ZubHostTesting::messageBoxTexts()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_records;
}

void ZubHostTesting::clearMessageBoxes()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_records.clear();
}

void ZubHostTesting::setMessageBoxCallback(MessageBoxCallback callback)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_callback = std::move(callback);
}
