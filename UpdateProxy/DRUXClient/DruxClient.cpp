#include "DruxClient.h"

DruxClient::DruxClient() = default;

DruxClient::~DruxClient() = default;

int DruxClient::start(const std::string& name, unsigned int newBits)
{
    const int code = DRUX::DruxClient2::start(name, static_cast<int>(newBits));
    if (code != DRUXCODE::kOk)
        DruxClientReport::logFailure("DruxClient Start failed: %1\n", code, "DruxClient::start",
                                     __LINE__);
    return code;
}

int DruxClient::stop()
{
    const int code = DRUX::DruxClient2::stop();
    if (code != DRUXCODE::kOk)
        DruxClientReport::logFailure("DruxClient Stop failed: %1\n", code, "DruxClient::stop",
                                     __LINE__);
    return code;
}

int DruxClient::checkUpdate(std::vector<DRUX::DruxUpdateInfo>& list)
{
    auto check = [this](unsigned int* hasUpdate, std::string& reason,
                        std::vector<DRUX::DruxUpdateInfo>& records) {
        return DRUX::DruxClient2::checkUpdate(hasUpdate, reason, records);
    };
    return checkUntilSettled(check, list, "DruxClient::checkUpdate");
}

void DruxClient::doUpdata(DRUX::DruxUpdateInfo& info, IDRUXNotifyInf* notifyInf)
{
    startUpdate(info, notifyInf, "DruxClient::doUpdata");
}
