#include "ServiceLogic.h"

#include "Journal.h"
#include "Reports.h"
#include "Text.h"

#include <memory>

namespace qorcore {
namespace {

const int kBusyCode = 8;

HRESULT answer(const Outcome& outcome, int* code)
{
    if (outcome.setsCode && code)
        *code = outcome.code;
    return outcome.status;
}

// An absent reason explains an empty check; an absent list is no list.
BSTR reasonText(const CheckPlan& plan)
{
    if (plan.reason.kind == TextSpec::Kind::Default)
        return plan.hasUpdate ? nullptr : bstrFrom(std::string("no new version"));
    return bstrFrom(plan.reason, std::string());
}

}  // namespace

ServiceLogic::ServiceLogic(std::string name, const FlavourPlan& plan, const RepositoryPlan& repository)
    : m_name(std::move(name)), m_plan(plan), m_repository(repository)
{
}

HRESULT ServiceLogic::start(int* code, BSTR appname, int bits)
{
    journal(m_name + ".Start appname=" + quoted(appname) + " bits=" + std::to_string(bits));
    const HRESULT status = answer(m_plan.start, code);
    if (status == S_OK) {
        m_appname = appname ? utf8From(appname) : std::string();
        m_bits = bits;
    }
    return status;
}

HRESULT ServiceLogic::check(const CheckPlan& plan, const std::string& call, int* code, unsigned int* hasUpdate,
                            BSTR* reason, BSTR* list)
{
    journal(call);
    if (m_checks++ < plan.busyChecks) {
        if (code)
            *code = kBusyCode;
        return S_FALSE;
    }
    const HRESULT status = answer(plan.outcome, code);
    if (status != S_OK)
        return status;
    if (hasUpdate)
        *hasUpdate = plan.hasUpdate;
    if (reason)
        *reason = reasonText(plan);
    if (list)
        *list = plan.list.kind == TextSpec::Kind::Given ? bstrFrom(plan.list.utf8) : nullptr;
    return status;
}

HRESULT ServiceLogic::doUpdate(int* code, BSTR appname, int bits, IDruxNotify* notify)
{
    if (!notify) {
        journal(m_name + ".DoUpdate appname=" + quoted(appname) + " bits=" + std::to_string(bits) + " sink=null");
        return E_POINTER;
    }
    auto sink = std::make_shared<Sink>(notify);
    journal(m_name + ".DoUpdate appname=" + quoted(appname) + " bits=" + std::to_string(bits) +
            " sink=" + std::to_string(sink->id()));
    const HRESULT status = answer(m_plan.update.outcome, code);
    // A refused update keeps no reference to the sink.
    if (status != S_OK)
        return status;
    playScript(m_plan.update, sink, appname ? utf8From(appname) : std::string(), bits);
    return status;
}

HRESULT ServiceLogic::stop(int* code)
{
    journal(m_name + ".Stop");
    const HRESULT status = answer(m_plan.stop, code);
    m_appname.clear();
    m_bits = 0;
    return status;
}

}  // namespace qorcore
