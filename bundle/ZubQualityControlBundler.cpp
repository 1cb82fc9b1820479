#include "ZubQualityControlBundler.h"
#include "ZubQualityControlServiceFactory.h"

ZubQualityControlBundler::~ZubQualityControlBundler() = default;

void ZubQualityControlBundler::activate(IBundleContext* context, void* /*reserved*/)
{
    if (!context)
        return;
    // The host owns the factory from here on.
    context->registerServiceFactory(new ZubQualityControlServiceFactory);
}

void ZubQualityControlBundler::deactivate() {}
