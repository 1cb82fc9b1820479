#pragma once
#include "DruxNotify.h"
#include "DruxUpdateInfo.h"

#include <string>
#include <vector>

namespace DRUX {

// What both update clients do over their platform service `Service`, with
// update records of type `Record`; made for the two flavours only.
template <class Service, class Record>
class UpdateClient
{
public:
    virtual ~UpdateClient();
    UpdateClient(const UpdateClient&) = delete;
    UpdateClient& operator=(const UpdateClient&) = delete;

    int start(const std::string& appname, int bits);
    int checkUpdate(unsigned int* hasUpdate, std::string& reason, std::vector<Record>& list);
    int doUpdate(const Record& info, int bits, DruxNotify* notify);
    int stop();

    static int parseUpdateList(const std::string& json, std::vector<Record>& list);

protected:
    // Creates the platform service; a failure is only logged and leaves the
    // client answering 1 to everything.
    UpdateClient();

    std::string appname;
    unsigned int bits = 0;
    Service* service = nullptr;
};

} // namespace DRUX
