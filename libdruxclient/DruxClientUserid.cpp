#include "DruxClientUserid.h"

#include "ServiceClient.h"

#include <qor/IDruxClientUserid.h>
#include <qor/QorIds.h>

namespace DRUX {
namespace {
const detail::Flavour kFlavour = {"DruxClientUserid", "IDruxClientUserid"};
}

DruxClientUserid::DruxClientUserid() : bits(0), service(nullptr)
{
    service = detail::createService<IDruxClientUserid>(kFlavour, CLSID_DruxClientUserid,
                                                       IID_IDruxClientUserid);
}

DruxClientUserid::~DruxClientUserid() { detail::releaseService(kFlavour, service); }

int DruxClientUserid::start(const std::string& name, int newBits)
{
    return detail::startService(service, name, newBits, appname, bits);
}

int DruxClientUserid::checkUpdate(unsigned int* hasUpdate, std::string& reason,
                                  std::vector<DruxUpdateInfoUserid>& list)
{
    const int guard = detail::checkGuard(service != nullptr, hasUpdate, appname, bits);
    if (guard != DRUXCODE::kOk)
        return guard;
    return detail::runCheck(hasUpdate, reason, list, [this](int* code, unsigned int* has, BSTR* why, BSTR* text) {
        return service->CheckUpdate(code, has, why, text);
    });
}

int DruxClientUserid::checkUpdate(const std::string& firstUser, const std::string& secondUser,
                                  unsigned int* hasUpdate, std::string& reason,
                                  std::vector<DruxUpdateInfoUserid>& list)
{
    const int guard = detail::checkGuard(service != nullptr, hasUpdate, appname, bits);
    if (guard != DRUXCODE::kOk)
        return guard;
    user1 = firstUser;
    user2 = secondUser;
    const Bstr first(user1);
    const Bstr second(user2);
    return detail::runCheck(hasUpdate, reason, list,
                            [this, &first, &second](int* code, unsigned int* has, BSTR* why, BSTR* text) {
                                return service->CheckUpdateForUser(first.get(), second.get(), code, has,
                                                                   why, text);
                            });
}

int DruxClientUserid::doUpdate(const DruxUpdateInfoUserid& info, int updateBits, DruxNotify* notify)
{
    return detail::runUpdate(service, appname, bits, info.appname, updateBits, notify);
}

int DruxClientUserid::stop() { return detail::stopService(service, appname, bits); }

int DruxClientUserid::parseUpdateList(const std::string& json, std::vector<DruxUpdateInfoUserid>& list)
{
    return detail::parseUpdateList(json, list);
}

}  // namespace DRUX
