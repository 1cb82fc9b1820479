#include "ServiceLogic.h"

#include "Journal.h"
#include "Reports.h"
#include "Text.h"

#include <algorithm>
#include <memory>

namespace qorcore {
namespace {

const int kBusyCode = 8;
const int kNoVersion = 7;
const int kAlreadyCurrent = 16;

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

} // namespace

ServiceLogic::ServiceLogic(std::string name, const FlavourPlan& plan,
                           const RepositoryPlan& repository)
    : m_name(std::move(name))
    , m_plan(plan)
    , m_repository(repository)
{}

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

HRESULT ServiceLogic::check(const CheckPlan& plan, const std::string& call, int* code,
                            unsigned int* hasUpdate, BSTR* reason, BSTR* list)
{
    journal(call);
    if (m_checks++ < plan.busyChecks) {
        if (code)
            *code = kBusyCode;
        return S_FALSE;
    }
    if (m_repository.enabled)
        return checkRepository(hasUpdate, code, reason, list);
    const HRESULT status = answer(plan.outcome, code);
    if (status != S_OK)
        return status;
    if (hasUpdate)
        *hasUpdate = plan.hasUpdate;
    if (reason)
        *reason = reasonText(plan);
    if (list)
        *list = plan.list.kind == TextSpec::Kind::Default ? nullptr
                                                          : bstrFrom(plan.list, std::string());
    return status;
}

HRESULT ServiceLogic::doUpdate(int* code, BSTR appname, int bits, IDruxNotify* notify)
{
    if (!notify) {
        journal(m_name + ".DoUpdate appname=" + quoted(appname) + " bits=" + std::to_string(bits) +
                " sink=null");
        return E_POINTER;
    }
    auto sink = std::make_shared<Sink>(notify);
    journal(m_name + ".DoUpdate appname=" + quoted(appname) + " bits=" + std::to_string(bits) +
            " sink=" + std::to_string(sink->id()));
    const std::string name = appname ? utf8From(appname) : std::string();
    if (m_repository.enabled)
        return updateFromRepository(code, name, sink);
    const HRESULT status = answer(m_plan.update.outcome, code);
    // A refused update keeps no reference to the sink.
    if (status != S_OK)
        return status;
    playScript(m_plan.update, sink, name, bits);
    return status;
}

HRESULT ServiceLogic::checkRepository(unsigned int* hasUpdate, int* code, BSTR* reason, BSTR* list)
{
    const LocalRepository repository(m_repository);
    m_offers = repository.offers(m_appname);
    if (hasUpdate)
        *hasUpdate = m_offers.empty() ? 0 : 1;
    if (code)
        *code = m_offers.empty() ? kAlreadyCurrent : 0;
    if (m_offers.empty() && reason)
        *reason = bstrFrom(m_appname + " is up to date");
    if (!m_offers.empty() && list)
        *list = bstrFrom(LocalRepository::listText(m_offers));
    return S_OK;
}

HRESULT ServiceLogic::updateFromRepository(int* code, const std::string& appname,
                                           std::shared_ptr<Sink> sink)
{
    const auto offer = std::find_if(m_offers.begin(), m_offers.end(), [&](const Package& package) {
        return package.appname == appname;
    });
    if (offer == m_offers.end()) {
        if (code)
            *code = kNoVersion;
        return S_FALSE;
    }
    if (code)
        *code = 0;
    LocalRepository(m_repository).install(*offer, std::move(sink));
    return S_OK;
}

HRESULT ServiceLogic::stop(int* code)
{
    journal(m_name + ".Stop");
    const HRESULT status = answer(m_plan.stop, code);
    m_appname.clear();
    m_bits = 0;
    return status;
}

} // namespace qorcore
