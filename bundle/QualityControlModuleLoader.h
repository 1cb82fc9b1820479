#pragma once
#include <QString>

class QualityControlUIFacade;

// Loads the Quality Control module from the suite's module folder and asks it
// for its facade. Null when the module or its entry is missing, or the entry
// gave none; nothing is shown, and a module that did not load or lacks the
// entry leaves the loader's reason on the debugger output. The module stays
// loaded for good.
QualityControlUIFacade* loadQualityControlFacade(void* arg1, void* arg2, const QString& name,
                                                 void* arg4, bool flag);
