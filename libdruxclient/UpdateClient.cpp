#include <libdruxclient/UpdateClient.h>

#include "ServiceClient.h"

#include <qor/IDruxClient2.h>
#include <qor/IDruxClientUserid.h>
#include <qor/QorIds.h>

#include <new>

namespace DRUX {
namespace {

// Each flavour's names in the log and its platform identifiers.
template <class Service>
struct ServiceOf;

template <>
struct ServiceOf<IDruxClient2>
{
    static constexpr detail::Flavour kFlavour = {"DruxClient2", "IDruxClient2"};
    static const CLSID& clsid() { return CLSID_DruxClient2; }
    static const IID& iid() { return IID_IDruxClient2; }
};

template <>
struct ServiceOf<IDruxClientUserid>
{
    static constexpr detail::Flavour kFlavour = {"DruxClientUserid", "IDruxClientUserid"};
    static const CLSID& clsid() { return CLSID_DruxClientUserid; }
    static const IID& iid() { return IID_IDruxClientUserid; }
};

} // namespace

template <class Service, class Record>
UpdateClient<Service, Record>::UpdateClient()
{
    using Of = ServiceOf<Service>;
    service.reset(detail::createService<Service>(Of::kFlavour, Of::clsid(), Of::iid()));
}

// Releases the service; the platform's Stop is not called here.
template <class Service, class Record>
UpdateClient<Service, Record>::~UpdateClient()
{
    detail::releaseService(ServiceOf<Service>::kFlavour, service);
}

template <class Service, class Record>
int UpdateClient<Service, Record>::start(const std::string& name, int newBits)
{
    if (!service)
        return DRUXCODE::kNoService;
    if (!detail::validBits(static_cast<unsigned int>(newBits)))
        return DRUXCODE::kBadArgument;
    int code = DRUXCODE::kNoPlatformCode;
    const Bstr text(name);
    if (service->Start(&code, text.get(), newBits) != S_OK)
        return code;
    appname = name;
    bits = static_cast<unsigned int>(newBits);
    return DRUXCODE::kOk;
}

template <class Service, class Record>
int UpdateClient<Service, Record>::checkUpdate(unsigned int* hasUpdate, std::string& reason,
                                               std::vector<Record>& list)
{
    const int guard = detail::checkGuard(static_cast<bool>(service), hasUpdate, appname, bits);
    if (guard != DRUXCODE::kOk)
        return guard;
    return detail::runCheck(hasUpdate, reason, list,
                            [this](int* code, unsigned int* has, BSTR* why, BSTR* text) {
                                return service->CheckUpdate(code, has, why, text);
                            });
}

template <class Service, class Record>
int UpdateClient<Service, Record>::updateGuard(int updateBits, const DruxNotify* notify) const
{
    if (!service)
        return DRUXCODE::kNoService;
    if (!notify || !detail::validBits(static_cast<unsigned int>(updateBits)))
        return DRUXCODE::kBadArgument;
    if (appname.empty() || !detail::validBits(bits))
        return DRUXCODE::kNotStarted;
    return DRUXCODE::kOk;
}

// Hands the update to the platform with a new proxy over `notify`.
template <class Service, class Record>
int UpdateClient<Service, Record>::doUpdate(const Record& info, int updateBits, DruxNotify* notify)
{
    const int guard = updateGuard(updateBits, notify);
    if (guard != DRUXCODE::kOk)
        return guard;
    int code = DRUXCODE::kNoPlatformCode;
    const Bstr name(info.appname);
    QORCLIENT::ComPtr<IDruxNotify> proxy(new (std::nothrow) KaNotifyProxy(notify));
    if (!proxy) {
        notify->release();
        return code;
    }
    // Refused: the proxy goes here, and the sink with it.
    if (service->DoUpdate(&code, name.get(), updateBits, proxy.get()) != S_OK)
        return code;
    proxy.detach(); // the platform's from here on
    return DRUXCODE::kOk;
}

template <class Service, class Record>
int UpdateClient<Service, Record>::stop()
{
    if (!service)
        return DRUXCODE::kNoService;
    if (appname.empty() || !detail::validBits(bits))
        return DRUXCODE::kNotStarted;
    int code = DRUXCODE::kNoPlatformCode;
    const HRESULT status = service->Stop(&code);
    // Not started afterwards, whatever the platform said.
    appname.clear();
    bits = 0;
    return status == S_OK ? DRUXCODE::kOk : code;
}

template <class Service, class Record>
int UpdateClient<Service, Record>::parseUpdateList(const std::string& json,
                                                   std::vector<Record>& list)
{
    return detail::parseUpdateList(json, list);
}

template class UpdateClient<IDruxClient2, DruxUpdateInfo>;
template class UpdateClient<IDruxClientUserid, DruxUpdateInfoUserid>;

} // namespace DRUX
