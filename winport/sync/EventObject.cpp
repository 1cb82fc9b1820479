#include "sync/EventObject.h"

#include "sync/SystemError.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace winport {
namespace {

std::string objectsFolder()
{
    const char* configured = std::getenv("WINPORT_OBJECTS");
    if (configured != nullptr && *configured != '\0')
        return configured;
    return "/tmp/winport-" + std::to_string(getuid());
}

// Windows names are case-sensitive and may hold any character but '\' after
// an optional namespace; "Global\" and "Local\" are one namespace here.
std::string fileNameFor(const char* name)
{
    for (const char* prefix : {"Global\\", "Local\\"}) {
        if (std::strncmp(name, prefix, std::strlen(prefix)) == 0)
            name += std::strlen(prefix);
    }
    static const char hex[] = "0123456789ABCDEF";
    std::string file = "event.";
    for (const char letter : std::string(name)) {
        const auto c = static_cast<unsigned char>(letter);
        if (std::isalnum(c) || c == '.' || c == '_' || c == '-') {
            file += static_cast<char>(c);
        } else {
            file += '%';
            file += hex[c >> 4];
            file += hex[c & 15];
        }
    }
    return file;
}

// "Am I the first holder?" is a test and a lock taken in two steps, and the
// downgrade from exclusive to shared drops the lock for a moment (flock does
// not convert atomically). A guard lock on the folder, held around both
// steps by every opener and closer of any event, makes them one step across
// threads and processes. The closer also unlinks the file under it when no
// other holder remains, so the folder does not fill up.
class FolderGuard
{
public:
    explicit FolderGuard(const std::string& folder)
    {
        if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
            return;
        m_fd = open((folder + "/.guard").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (m_fd >= 0 && flock(m_fd, LOCK_EX) != 0) {
            close(m_fd);
            m_fd = -1;
        }
    }
    ~FolderGuard()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    FolderGuard(const FolderGuard&) = delete;
    FolderGuard& operator=(const FolderGuard&) = delete;

    bool held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

} // namespace

EventObject::~EventObject()
{
    if (m_fd < 0)
        return;
    const std::string folder = m_path.substr(0, m_path.rfind('/'));
    FolderGuard guard(folder);
    if (guard.held() && flock(m_fd, LOCK_EX | LOCK_NB) == 0)
        unlink(m_path.c_str());
    close(m_fd);
}

bool EventObject::openNamed(const char* name, bool& existed)
{
    if (std::strlen(name) > MAX_PATH) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    const std::string folder = objectsFolder();
    FolderGuard guard(folder);
    if (!guard.held()) {
        setLastErrorFromErrno();
        return false;
    }
    const std::string path = folder + "/" + fileNameFor(name);
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        setLastErrorFromErrno();
        return false;
    }
    existed = flock(fd, LOCK_EX | LOCK_NB) != 0;
    if (flock(fd, LOCK_SH) != 0) {
        setLastErrorFromErrno();
        close(fd);
        return false;
    }
    m_fd = fd;
    m_path = path;
    return true;
}

} // namespace winport

WINPORT_API HANDLE CreateEventA(LPSECURITY_ATTRIBUTES, BOOL, BOOL, LPCSTR lpName)
{
    auto event = std::make_shared<winport::EventObject>();
    bool existed = false;
    // An empty name makes an unnamed event, as on Windows.
    if (lpName != nullptr && *lpName != '\0' && !event->openNamed(lpName, existed))
        return nullptr;
    HANDLE handle = winport::handles::insert(std::move(event));
    SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}
