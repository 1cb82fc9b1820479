#pragma once
#include "DruxNotify.h"
#include "DruxUpdateInfo.h"

#include <string>
#include <vector>

struct IDruxClientUserid;

namespace DRUX {

// User-flavour update client over the platform's IDruxClientUserid.
class DruxClientUserid
{
public:
    DruxClientUserid();
    virtual ~DruxClientUserid();
    DruxClientUserid(const DruxClientUserid&) = delete;
    DruxClientUserid& operator=(const DruxClientUserid&) = delete;

    int start(const std::string& appname, int bits);
    int checkUpdate(unsigned int* hasUpdate, std::string& reason,
                    std::vector<DruxUpdateInfoUserid>& list);
    int checkUpdate(const std::string& user1, const std::string& user2, unsigned int* hasUpdate,
                    std::string& reason, std::vector<DruxUpdateInfoUserid>& list);
    int doUpdate(const DruxUpdateInfoUserid& info, int bits, DruxNotify* notify);
    int stop();

    static int parseUpdateList(const std::string& json, std::vector<DruxUpdateInfoUserid>& list);

protected:
    std::string appname;
    unsigned int bits;
    IDruxClientUserid* service;
    std::string user1;
    std::string user2;
};

}  // namespace DRUX
