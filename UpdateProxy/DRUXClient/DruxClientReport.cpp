#include "DruxClientReport.h"

#include "UpdateProxyConstants.h"

#include <qor/DruxCodes.h>
#include <PevMessageBox.h>
#include <ZubDebugLogUtils.h>

#include <QString>

namespace DruxClientReport {
const char* const kSourceFile = "UpdateProxy/DRUXClient";

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
    QString text;
    switch (code) {
    case DRUXCODE::kCheckAgain: text = g_strUpdateCheckAgain; break;
    case DRUXCODE::kNoVersion: text = g_strUpdateNoVersion; break;
    case DRUXCODE::kBusy: text = g_strUpdateBusy; break;
    case DRUXCODE::kNotInstalled: text = g_strUpdateNotInstalled; break;
    case DRUXCODE::kAlreadyCurrent: text = g_strUpdateAlreadyCurrent; break;
    default: text = g_strUpdateFailed.arg(code); break;
    }
    PevMessageBox::tip(text, nullptr, false);
}
} // namespace DruxClientReport
