#pragma once
#include <QString>

// What the Quality Control module hands out; the plug-in keeps it and
// deletes it through the virtual destructor, which must come first.
class QualityControlUIFacade
{
public:
    virtual ~QualityControlUIFacade() {}
    virtual QString moduleVersion() const = 0;
    virtual void showMainWindow() = 0;
};

// Exported by the module under the name "getQualityControlUIFacade".
typedef QualityControlUIFacade* (*GetQualityControlUIFacadeFunc)(void* arg1, void* arg2,
                                                                 QString name, void* arg4,
                                                                 bool flag);
