#pragma once
#include <IBundlerActivator.h>

// The activator the host gets from getbundle(); it keeps no state.
class ZubQualityControlBundler : public IBundlerActivator
{
public:
    ~ZubQualityControlBundler() override;
    void activate(IBundleContext* context, void* reserved) override;
    void deactivate() override;
};
