#pragma once
#include "DruxNotify.h"
#include "DruxUpdateInfo.h"

#include <string>
#include <vector>

struct IDruxClient2;

namespace DRUX {

// Product-flavour update client over the platform's IDruxClient2.
class DruxClient2
{
public:
    DruxClient2();
    virtual ~DruxClient2();
    DruxClient2(const DruxClient2&) = delete;
    DruxClient2& operator=(const DruxClient2&) = delete;

    int start(const std::string& appname, int bits);
    int checkUpdate(unsigned int* hasUpdate, std::string& reason, std::vector<DruxUpdateInfo>& list);
    int doUpdate(const DruxUpdateInfo& info, int bits, DruxNotify* notify);
    int stop();

    static int parseUpdateList(const std::string& json, std::vector<DruxUpdateInfo>& list);

protected:
    std::string appname;
    unsigned int bits;
    IDruxClient2* service;
};

}  // namespace DRUX
