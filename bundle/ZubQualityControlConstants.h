#pragma once
#include <QString>

// Program-wide texts of the plug-in's face, built when the library loads.
extern const QString g_strComponentName; // the component the update check asks for
extern const QString g_strModuleSuffix;  // file suffix of the Quality Control module
extern const QString g_strModuleDir;     // module folder, relative to the application folder
