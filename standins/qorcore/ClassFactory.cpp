#include "ClassFactory.h"

#include "Core.h"

#include <qor/QorIds.h>

namespace qorcore {

ClassFactory::ClassFactory(const LoaderPlan& plan)
    : ComObject("ClassFactory", IID_IClassFactory)
    , m_plan(plan)
{}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object)
{
    journal("ClassFactory.CreateInstance iid=" + guidText(iid) + (outer ? " outer" : ""));
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    if (FAILED(m_plan.createCore))
        return m_plan.createCore;
    if (iid != IID_IQORCore && iid != IID_IUnknown)
        return E_NOINTERFACE;
    *object = static_cast<IQORCore*>(new Core());
    return m_plan.createCore;
}

HRESULT ClassFactory::LockServer(BOOL)
{
    return S_OK;
}

} // namespace qorcore
