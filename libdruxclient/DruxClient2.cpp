#include "DruxClient2.h"

#include "ServiceClient.h"

#include <qor/IDruxClient2.h>
#include <qor/QorIds.h>

namespace DRUX {
namespace {
const detail::Flavour kFlavour = {"DruxClient2", "IDruxClient2"};
}

DruxClient2::DruxClient2() : bits(0), service(nullptr)
{
    service = detail::createService<IDruxClient2>(kFlavour, CLSID_DruxClient2, IID_IDruxClient2);
}

DruxClient2::~DruxClient2() { detail::releaseService(kFlavour, service); }

int DruxClient2::start(const std::string& name, int newBits)
{
    return detail::startService(service, name, newBits, appname, bits);
}

int DruxClient2::checkUpdate(unsigned int* hasUpdate, std::string& reason, std::vector<DruxUpdateInfo>& list)
{
    const int guard = detail::checkGuard(service != nullptr, hasUpdate, appname, bits);
    if (guard != DRUXCODE::kOk)
        return guard;
    return detail::runCheck(hasUpdate, reason, list, [this](int* code, unsigned int* has, BSTR* why, BSTR* text) {
        return service->CheckUpdate(code, has, why, text);
    });
}

int DruxClient2::doUpdate(const DruxUpdateInfo& info, int updateBits, DruxNotify* notify)
{
    return detail::runUpdate(service, appname, bits, info.appname, updateBits, notify);
}

int DruxClient2::stop() { return detail::stopService(service, appname, bits); }

int DruxClient2::parseUpdateList(const std::string& json, std::vector<DruxUpdateInfo>& list)
{
    return detail::parseUpdateList(json, list);
}

}  // namespace DRUX
