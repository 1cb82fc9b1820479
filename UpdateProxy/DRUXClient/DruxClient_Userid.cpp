#include "DruxClient_Userid.h"

DruxClient_Userid::DruxClient_Userid() = default;

DruxClient_Userid::~DruxClient_Userid() = default;

int DruxClient_Userid::start(const std::string& appname, unsigned int bits)
{
    const int code = DRUX::DruxClientUserid::start(appname, static_cast<int>(bits));
    if (code != DRUXCODE::kOk)
        DruxClientReport::logFailure("DruxClientUserid Start failed: %1\n", code,
                                     "DruxClient_Userid::start", __LINE__);
    return code;
}

int DruxClient_Userid::stop()
{
    const int code = DRUX::DruxClientUserid::stop();
    if (code != DRUXCODE::kOk)
        DruxClientReport::logFailure("DruxClientUserid Stop failed: %1\n", code,
                                     "DruxClient_Userid::stop", __LINE__);
    return code;
}

int DruxClient_Userid::checkUpdate(const std::string& user1, const std::string& user2,
                                   std::vector<DRUX::DruxUpdateInfoUserid>& list)
{
    auto check = [this, &user1, &user2](unsigned int* hasUpdate, std::string& reason,
                                        std::vector<DRUX::DruxUpdateInfoUserid>& records) {
        if (user1.empty() && user2.empty())
            return DRUX::DruxClientUserid::checkUpdate(hasUpdate, reason, records);
        return DRUX::DruxClientUserid::checkUpdate(user1, user2, hasUpdate, reason, records);
    };
    return checkUntilSettled(check, list, "DruxClient_Userid::checkUpdate");
}

void DruxClient_Userid::doUpdata(DRUX::DruxUpdateInfoUserid& info, IDRUXNotifyInf* notifyInf)
{
    startUpdate(info, notifyInf, "DruxClient_Userid::doUpdata");
}
