#include <libdruxclient/DruxClientUserid.h>

#include "ServiceClient.h"

#include <qor/IDruxClientUserid.h>

namespace DRUX {

int DruxClientUserid::checkUpdate(const std::string& firstUser, const std::string& secondUser,
                                  unsigned int* hasUpdate, std::string& reason,
                                  std::vector<DruxUpdateInfoUserid>& list)
{
    const int guard = detail::checkGuard(static_cast<bool>(service), hasUpdate, appname, bits);
    if (guard != DRUXCODE::kOk)
        return guard;
    user1 = firstUser;
    user2 = secondUser;
    const Bstr first(user1);
    const Bstr second(user2);
    return detail::runCheck(
        hasUpdate, reason, list,
        [this, &first, &second](int* code, unsigned int* has, BSTR* why, BSTR* text) {
            return service->CheckUpdateForUser(first.get(), second.get(), code, has, why, text);
        });
}

} // namespace DRUX
