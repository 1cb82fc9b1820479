#include "DruxClientReport.h"

#include "UpdateProxyConstants.h"

#include <qor/DruxCodes.h>
#include <PevMessageBox.h>
#include <ZubDebugLogUtils.h>

#include <QString>

namespace {
// Source file named in every host-log line of the wrappers.
constexpr const char* kSourceFile = "UpdateProxy/DRUXClient";

QString refusalText(int code)
{
    switch (code) {
    case DRUXCODE::kCheckAgain: return QString(g_strUpdateCheckAgain);
    case DRUXCODE::kNoVersion: return QString(g_strUpdateNoVersion);
    case DRUXCODE::kBusy: return QString(g_strUpdateBusy);
    case DRUXCODE::kNotInstalled: return QString(g_strUpdateNotInstalled);
    case DRUXCODE::kAlreadyCurrent: return QString(g_strUpdateAlreadyCurrent);
    default: return QString(g_strUpdateFailed).arg(code);
    }
}
} // namespace

namespace DruxClientReport {

void logFailure(const char* text, int code, const char* function, int line)
{
    ZubDebugLogUtils::getInstance()->error(QString(text).arg(code), QString(kSourceFile),
                                           QString(function), line);
}

void logCannotUpdate(const std::string& appname, unsigned int bits, const std::string& reason,
                     const char* function, int line)
{
    const QString message = QString("DruxClient %1(%2): can not update: %3\n")
                                .arg(QString::fromLocal8Bit(appname.c_str()), QString::number(bits),
                                     QString::fromLocal8Bit(reason.c_str()));
    ZubDebugLogUtils::getInstance()->info(message, QString(kSourceFile), QString(function), line);
}

void logBusyGiveUp(int checks, const char* function, int line)
{
    ZubDebugLogUtils::getInstance()->error(
        QString("DruxClient CheckUpdate still busy after %1 checks, giving up\n").arg(checks),
        QString(kSourceFile), QString(function), line);
}

void showUpdateRefused(int code)
{
    PevMessageBox::tip(refusalText(code), nullptr, false);
}
} // namespace DruxClientReport
