#include <ZubDebugLogUtils.h>
#include "ZubHostTesting.h"

#include <QByteArray>
#include <QString>
#include <cstdio>
#include <mutex>

namespace {

// Where the log goes: ZUB_DEBUG_LOG names a file (or "stderr"), and a test
// may keep the entries in memory. Read afresh at each call, so a test or the
// demo can redirect it while the process runs.
class DebugLogSink
{
public:
    void write(const ZubHostTesting::DebugLogEntry& entry)
    {
        const QByteArray line = format(entry);
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_capturing)
            m_entries.push_back(entry);
        writeToTarget(line);
    }

    void setCapturing(bool on)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_capturing = on;
    }

    std::vector<ZubHostTesting::DebugLogEntry> entries()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_entries;
    }

    void clear()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_entries.clear();
    }

private:
    static const char* operationName(ZubHostTesting::LogOperation operation)
    {
        switch (operation) {
        case ZubHostTesting::LogOperation::Debug: return "debug";
        case ZubHostTesting::LogOperation::Info: return "info";
        case ZubHostTesting::LogOperation::Error: return "error";
        }
        return "?";
    }

    // One line: "error: <message> [<function> <file>:<line>]"
    static QByteArray format(const ZubHostTesting::DebugLogEntry& entry)
    {
        QString message = entry.message;
        message.replace(QLatin1Char('\n'), QLatin1Char(' '));
        // One pass: a %N inside the message stays as it is.
        return QStringLiteral("%1: %2 [%3 %4:%5]\n")
            .arg(QLatin1String(operationName(entry.operation)), message, entry.function, entry.file,
                 QString::number(entry.line))
            .toUtf8();
    }

    static void writeToTarget(const QByteArray& line)
    {
        const QByteArray target = qgetenv("ZUB_DEBUG_LOG");
        if (target.isEmpty())
            return;
        if (target == "stderr") {
            std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
            return;
        }
        if (FILE* file = std::fopen(target.constData(), "ab")) {
            std::fwrite(line.constData(), 1, size_t(line.size()), file);
            std::fclose(file);
        }
    }

    std::mutex m_mutex;
    bool m_capturing = false;
    std::vector<ZubHostTesting::DebugLogEntry> m_entries;
};

DebugLogSink& sink()
{
    static DebugLogSink instance;
    return instance;
}

class ProcessDebugLog : public ZubDebugLogUtils
{};

void record(ZubHostTesting::LogOperation operation, const QString& message, const QString& file,
            const QString& function, int line)
{
    sink().write({operation, message, file, function, line});
}

} // namespace

ZubDebugLogUtils* ZubDebugLogUtils::getInstance()
{
    static ProcessDebugLog instance;
    return &instance;
}

void ZubDebugLogUtils::debug(const QString& message, const QString& file, const QString& function,
                             int line)
{
    record(ZubHostTesting::LogOperation::Debug, message, file, function, line);
}

void ZubDebugLogUtils::info(const QString& message, const QString& file, const QString& function,
                            int line)
{
    record(ZubHostTesting::LogOperation::Info, message, file, function, line);
}

void ZubDebugLogUtils::error(const QString& message, const QString& file, const QString& function,
                             int line)
{
    record(ZubHostTesting::LogOperation::Error, message, file, function, line);
}

void ZubHostTesting::captureDebugLog(bool on)
{
    sink().setCapturing(on);
}

std::vector<ZubHostTesting::DebugLogEntry> ZubHostTesting::debugLogEntries()
{
    return sink().entries();
}

void ZubHostTesting::clearDebugLog()
{
    sink().clear();
}
