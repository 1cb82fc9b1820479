#pragma once
#include "UpdateClient.h"

struct IDruxClientUserid;

namespace DRUX {

// User-flavour update client over the platform's IDruxClientUserid; its
// check may carry the two user-identity strings.
class DruxClientUserid : public UpdateClient<IDruxClientUserid, DruxUpdateInfoUserid>
{
public:
    using UpdateClient::checkUpdate;
    int checkUpdate(const std::string& user1, const std::string& user2, unsigned int* hasUpdate,
                    std::string& reason, std::vector<DruxUpdateInfoUserid>& list);

protected:
    std::string user1;
    std::string user2;
};

} // namespace DRUX
