#pragma once
// Hooks of the host stand-ins for tests and the demo host. Every function is
// thread-safe.
#include <ZubHostExport.h>
#include <QString>
#include <functional>
#include <vector>

namespace ZubHostTesting {

// ---- debug log (ZubCommon64d) ----
enum class LogOperation { Debug, Info, Error };

struct DebugLogEntry
{
    LogOperation operation;
    QString message;
    QString file;
    QString function;
    int line;
};

// While on, every ZubDebugLogUtils call is kept in memory as well.
ZUB_COMMON_EXPORT void captureDebugLog(bool on);
ZUB_COMMON_EXPORT std::vector<DebugLogEntry> debugLogEntries();
ZUB_COMMON_EXPORT void clearDebugLog();

// How often ZubUserActionLogUtils::setUserActionLogService ran since the last reset.
ZUB_COMMON_EXPORT int userActionLogServiceSetCount();
// Forgets the registered service and the count.
ZUB_COMMON_EXPORT void resetUserActionLogService();

// ---- message boxes (ZubControl64d) ----
enum class MessageBoxKind { Pev, Mirn };

struct MessageBoxRecord
{
    MessageBoxKind box;
    QString text;
    QString detail;
};

// On: boxes record their text and return at once, whatever the session.
// Off: back to the default (record when ZUB_MESSAGEBOX=record, when there is
// no QApplication or the platform has no screen; show a QMessageBox otherwise).
ZUB_CONTROL_EXPORT void recordMessageBoxes(bool on);
// Every box since the last clear, shown or recorded, oldest first.
ZUB_CONTROL_EXPORT std::vector<MessageBoxRecord> messageBoxTexts();
ZUB_CONTROL_EXPORT void clearMessageBoxes();

// Runs on the calling thread each time a box is about to be shown or
// recorded; an empty function removes it.
using MessageBoxCallback = std::function<void(const MessageBoxRecord&)>;
ZUB_CONTROL_EXPORT void setMessageBoxCallback(MessageBoxCallback callback);

} // namespace ZubHostTesting
