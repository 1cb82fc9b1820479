#pragma once
#include <QString>

// Texts shown when the platform refuses to start an update, by its code.
extern const QString g_strUpdateCheckAgain;     // 6
extern const QString g_strUpdateNoVersion;      // 7
extern const QString g_strUpdateBusy;           // 8
extern const QString g_strUpdateNotInstalled;   // 15
extern const QString g_strUpdateAlreadyCurrent; // 16
extern const QString g_strUpdateFailed;         // any other code, as %1

// Style sheets of the progress dialog.
extern const QString g_strProgressLabelStyle;
extern const QString g_strProgressTitleBarStyle;
extern const QString g_strProgressBarStyle;
