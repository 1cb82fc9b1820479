#pragma once
#include <QString>

// Program-wide texts of the plug-in's face, as plain characters: loading the
// plug-in constructs nothing.
extern const char g_strComponentName[]; // the component the update check asks for
extern const char g_strModuleSuffix[];  // file suffix of the Quality Control module

// Module folder, relative to the application folder.
QString moduleDirectory();
