#pragma once
#include "ComObject.h"
#include "Scenario.h"

namespace qorcore {

// The class object of the core: makes the root object, or fails as the
// scenario's loader section says.
class ClassFactory final : public ComObject<IClassFactory>
{
public:
    explicit ClassFactory(const LoaderPlan& plan);

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    LoaderPlan m_plan;
};

} // namespace qorcore
