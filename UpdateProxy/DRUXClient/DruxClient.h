#pragma once
#include "DruxClientWrapper.h"

#include <libdruxclient/DruxClient2.h>
#include <libdruxclient/DruxUpdateInfo.h>

#include <string>
#include <vector>

class IDRUXNotifyInf;

// The product-flavour update client, with its failures in the host log.
class DruxClient : public DruxClientWrapper<DRUX::DruxClient2, DRUX::DruxUpdateInfo>
{
public:
    DruxClient();
    ~DruxClient() override;

    int start(const std::string& appname, unsigned int bits);
    int stop();
    // Returns whether the platform offers an update; `list` must come empty.
    int checkUpdate(std::vector<DRUX::DruxUpdateInfo>& list);
    // Hands the update to the platform; progress arrives later at `notifyInf`.
    void doUpdata(DRUX::DruxUpdateInfo& info, IDRUXNotifyInf* notifyInf);
};
