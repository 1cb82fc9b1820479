#pragma once
#include "sync/KernelObject.h"

#include <string>

namespace winport {

// An event. A named one holds a shared flock on a lock file named after it in
// the objects folder (WINPORT_OBJECTS, else /tmp/winport-<uid>): the lock
// lives exactly as long as some handle to the event is open, in whatever
// process, and dies with its process like a Windows handle does.
class EventObject : public KernelObject
{
public:
    static constexpr Kind kKind = Kind::Event;

    EventObject()
        : KernelObject(kKind)
    {}
    ~EventObject() override;

    // Takes the name's lock. False with the last error set on failure;
    // `existed` tells whether another handle of that name was open.
    bool openNamed(const char* name, bool& existed);

private:
    int m_fd = -1;
    std::string m_path;
};

} // namespace winport
