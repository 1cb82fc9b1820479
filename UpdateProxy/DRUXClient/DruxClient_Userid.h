#pragma once
#include "DruxClientWrapper.h"

#include <libdruxclient/DruxClientUserid.h>
#include <libdruxclient/DruxUpdateInfo.h>

#include <string>
#include <vector>

class IDRUXNotifyInf;

// The user-flavour update client, with its failures in the host log.
class DruxClient_Userid
    : public DruxClientWrapper<DRUX::DruxClientUserid, DRUX::DruxUpdateInfoUserid>
{
public:
    DruxClient_Userid();
    ~DruxClient_Userid() override;

    int start(const std::string& appname, unsigned int bits);
    int stop();
    // Checks for the two user strings, or for the product alone when both are
    // empty. Returns whether an update is offered; `list` must come empty.
    int checkUpdate(const std::string& user1, const std::string& user2,
                    std::vector<DRUX::DruxUpdateInfoUserid>& list);
    // Hands the update to the platform; progress arrives later at `notifyInf`.
    void doUpdata(DRUX::DruxUpdateInfoUserid& info, IDRUXNotifyInf* notifyInf);
};
