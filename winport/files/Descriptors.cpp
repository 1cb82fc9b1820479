#include "files/Descriptors.h"

#include "files/FileObject.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <unordered_map>

namespace winport {
namespace descriptors {
namespace {

// A descriptor is the handle's own POSIX descriptor, so write(2), fstat and
// friends work on it directly; the table adds the handle and the mode.
struct Entry
{
    HANDLE handle;
    bool text;
};

struct Table
{
    std::mutex mutex;
    std::unordered_map<int, Entry> entries;
};

// Never destroyed: streams may be closed by other libraries' destructors.
Table& table()
{
    static Table* instance = new Table;
    return *instance;
}

bool find(int fd, Entry& entry)
{
    Table& t = table();
    std::lock_guard<std::mutex> guard(t.mutex);
    const auto it = t.entries.find(fd);
    if (it == t.entries.end())
        return false;
    entry = it->second;
    return true;
}

} // namespace

bool isText(int fd)
{
    Entry entry{};
    return find(fd, entry) && entry.text;
}

} // namespace descriptors
} // namespace winport

using winport::descriptors::Entry;

WINPORT_API int _open_osfhandle(intptr_t osfhandle, int flags)
{
    const HANDLE handle = reinterpret_cast<HANDLE>(osfhandle);
    const auto file = winport::handles::find<winport::FileObject>(handle);
    if (!file) {
        errno = EBADF;
        return -1;
    }
    const int fd = file->fd();
    if ((flags & _O_APPEND) != 0 && fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_APPEND) != 0)
        return -1;
    winport::descriptors::Table& t = winport::descriptors::table();
    std::lock_guard<std::mutex> guard(t.mutex);
    t.entries[fd] = Entry{handle, (flags & _O_BINARY) == 0};
    return fd;
}

WINPORT_API intptr_t _get_osfhandle(int fd)
{
    Entry entry{};
    if (!winport::descriptors::find(fd, entry)) {
        errno = EBADF;
        return reinterpret_cast<intptr_t>(INVALID_HANDLE_VALUE);
    }
    return reinterpret_cast<intptr_t>(entry.handle);
}

// Closes the handle the descriptor owns; a descriptor winport did not hand
// out is closed as it is.
WINPORT_API int _close(int fd)
{
    Entry entry{};
    {
        winport::descriptors::Table& t = winport::descriptors::table();
        std::lock_guard<std::mutex> guard(t.mutex);
        const auto it = t.entries.find(fd);
        if (it != t.entries.end()) {
            entry = it->second;
            t.entries.erase(it);
        }
    }
    if (entry.handle != nullptr) {
        winport::handles::remove(entry.handle);
        return 0;
    }
    return close(fd) == 0 ? 0 : -1;
}
