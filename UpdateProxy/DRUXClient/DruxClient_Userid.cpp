#include "DruxClient_Userid.h"

DruxClient_Userid::DruxClient_Userid() = default;

DruxClient_Userid::~DruxClient_Userid() = default;

int DruxClient_Userid::start(const std::string& name, unsigned int newBits)
{
    const int code = DRUX::DruxClientUserid::start(name, static_cast<int>(newBits));
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

int DruxClient_Userid::checkUpdate(const std::string& firstUser, const std::string& secondUser,
                                   std::vector<DRUX::DruxUpdateInfoUserid>& list)
{
    auto check = [this, &firstUser, &secondUser](unsigned int* hasUpdate, std::string& reason,
                                                 std::vector<DRUX::DruxUpdateInfoUserid>& records) {
        if (firstUser.empty() && secondUser.empty())
            return DRUX::DruxClientUserid::checkUpdate(hasUpdate, reason, records);
        return DRUX::DruxClientUserid::checkUpdate(firstUser, secondUser, hasUpdate, reason,
                                                   records);
    };
    return checkUntilSettled(check, list, "DruxClient_Userid::checkUpdate");
}

void DruxClient_Userid::doUpdata(DRUX::DruxUpdateInfoUserid& info, IDRUXNotifyInf* notifyInf)
{
    startUpdate(info, notifyInf, "DruxClient_Userid::doUpdata");
}
