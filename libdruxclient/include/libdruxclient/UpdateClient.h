#pragma once
#include "ComPtr.h"
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
    // kOk when doUpdate(info, bits, notify) takes the sink over: its own
    // checks pass, whatever the platform then answers. Otherwise the code
    // doUpdate answers without asking the platform, the sink left as it was.
    int updateGuard(int bits, const DruxNotify* notify) const;
    // Takes ownership of `notify` when updateGuard(bits, notify) is kOk: the
    // platform releases it after an accepted update, doUpdate before it
    // returns after a refused one. On a guard's code it stays the caller's.
    int doUpdate(const Record& info, int bits, DruxNotify* notify);
    int stop();

    // What a successful start stored: empty and 0 when not started.
    const std::string& startedAppname() const { return appname; }
    unsigned int startedBits() const { return bits; }

    static int parseUpdateList(const std::string& json, std::vector<Record>& list);

protected:
    // Creates the platform service; a failure is only logged and leaves the
    // client answering 1 to everything.
    UpdateClient();

    std::string appname;
    unsigned int bits = 0;
    QORCLIENT::ComPtr<Service> service;
};

} // namespace DRUX
