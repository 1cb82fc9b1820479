#include "Core.h"

#include "ScenarioFile.h"
#include "UpdateService.h"

#include <qor/QorIds.h>

namespace qorcore {
Core::Core()
    : ComObject("Core", IID_IQORCore)
{}

HRESULT Core::CreateInstance(REFCLSID clsid, REFIID iid, void** object)
{
    journal("Core.CreateInstance clsid=" + guidText(clsid) + " iid=" + guidText(iid));
    if (!object)
        return E_POINTER;
    *object = nullptr;
    const bool product = clsid == CLSID_DruxClient2;
    if (!product && clsid != CLSID_DruxClientUserid)
        return CLASS_E_CLASSNOTAVAILABLE;
    Scenario scenario;
    if (!loadScenario(scenario))
        return kScenarioUnusable;
    const FlavourPlan& plan = product ? scenario.product : scenario.user;
    if (FAILED(plan.create))
        return plan.create;
    if (product && iid == IID_IDruxClient2)
        *object = static_cast<IDruxClient2*>(new ProductService(plan, scenario.repository));
    else if (!product && iid == IID_IDruxClientUserid)
        *object = static_cast<IDruxClientUserid*>(new UserService(plan, scenario.repository));
    else
        return E_NOINTERFACE;
    return plan.create;
}

} // namespace qorcore
