#include "ZubQualityControlBundler.h"

#include <QtCore/qglobal.h>

// The plug-in's only export: each call makes a new activator for the host.
extern "C" Q_DECL_EXPORT IBundlerActivator* getbundle()
{
    return new ZubQualityControlBundler;
}
