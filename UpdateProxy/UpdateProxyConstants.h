#pragma once

// Texts of the update's user interface, as plain characters: loading the
// plug-in constructs nothing.

// Shown when the platform refuses to start an update, by its code.
extern const char g_strUpdateCheckAgain[];     // 6
extern const char g_strUpdateNoVersion[];      // 7
extern const char g_strUpdateBusy[];           // 8
extern const char g_strUpdateNotInstalled[];   // 15
extern const char g_strUpdateAlreadyCurrent[]; // 16
extern const char g_strUpdateFailed[];         // any other code, as %1

// Style sheets of the progress dialog.
extern const char g_strProgressLabelStyle[];
extern const char g_strProgressTitleBarStyle[];
extern const char g_strProgressBarStyle[];
