#pragma once
#include "ComObject.h"

#include <qor/IQORCore.h>

namespace qorcore {

// The root object: creates the two update services, each with the scenario
// as it reads at that moment.
class Core final : public ComObject<IQORCore>
{
public:
    Core();

    HRESULT STDMETHODCALLTYPE CreateInstance(REFCLSID clsid, REFIID iid, void** object) override;
};

} // namespace qorcore
