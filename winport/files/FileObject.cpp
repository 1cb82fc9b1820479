#include "files/FileObject.h"

#include "sync/SystemError.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>

namespace winport {

FileObject::~FileObject()
{
    close(m_fd);
}

uint64_t FileObject::Range::end() const
{
    const uint64_t top = std::numeric_limits<uint64_t>::max();
    return length > top - offset ? top : offset + length;
}

bool FileObject::Range::overlaps(const Range& other) const
{
    return offset < other.end() && other.offset < end();
}

bool FileObject::setLock(const Range& range, short type, bool wait) const
{
    constexpr uint64_t maxOffset = std::numeric_limits<off_t>::max();
    struct flock request
    {};
    request.l_type = type;
    request.l_whence = SEEK_SET;
    request.l_start = static_cast<off_t>(range.offset);
    // A range past what off_t can express runs to the end of all files,
    // which POSIX writes as length 0.
    request.l_len = range.length > maxOffset - range.offset ? 0 : static_cast<off_t>(range.length);
    int result;
    do
        result = fcntl(m_fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &request);
    while (result != 0 && errno == EINTR);
    return result == 0;
}

// Windows lets one handle hold overlapping shared ranges, nothing else: an
// exclusive range conflicts even with the handle's own locks.
bool FileObject::conflictsWithOwn(const Range& range) const
{
    return std::any_of(m_ranges.begin(), m_ranges.end(), [&](const Range& held) {
        return held.overlaps(range) && (held.exclusive || range.exclusive);
    });
}

void FileObject::forget(const Range& range)
{
    const auto it = std::find_if(m_ranges.begin(), m_ranges.end(), [&](const Range& held) {
        return held.offset == range.offset && held.length == range.length;
    });
    if (it != m_ranges.end())
        m_ranges.erase(it);
}

DWORD FileObject::lock(uint64_t offset, uint64_t length, bool exclusive, bool wait)
{
    if (offset > static_cast<uint64_t>(std::numeric_limits<off_t>::max()))
        return ERROR_INVALID_PARAMETER;
    if (length == 0)
        return ERROR_SUCCESS;
    const Range range{offset, length, exclusive};
    {
        // The range is booked before the wait, so that another thread using
        // this same handle sees it and does not take it twice. Waiting on its
        // own handle would never end on Windows; here it fails at once.
        std::lock_guard<std::mutex> guard(m_mutex);
        if (conflictsWithOwn(range))
            return ERROR_LOCK_VIOLATION;
        m_ranges.push_back(range);
    }
    if (setLock(range, exclusive ? F_WRLCK : F_RDLCK, wait))
        return ERROR_SUCCESS;
    const int error = errno;
    std::lock_guard<std::mutex> guard(m_mutex);
    forget(range);
    return error == EAGAIN || error == EACCES ? ERROR_LOCK_VIOLATION : winErrorFromErrno(error);
}

DWORD FileObject::unlock(uint64_t offset, uint64_t length)
{
    if (length == 0)
        return ERROR_SUCCESS;
    std::lock_guard<std::mutex> guard(m_mutex);
    const auto it = std::find_if(m_ranges.begin(), m_ranges.end(), [&](const Range& held) {
        return held.offset == offset && held.length == length;
    });
    if (it == m_ranges.end())
        return ERROR_NOT_LOCKED;
    const Range range = *it;
    m_ranges.erase(it);
    if (!setLock(range, F_UNLCK, false))
        return winErrorFromErrno(errno);
    // POSIX merged this range with the handle's other shared ranges over it;
    // give those back their bytes.
    for (const Range& held : m_ranges) {
        if (held.overlaps(range))
            setLock(held, F_RDLCK, false);
    }
    return ERROR_SUCCESS;
}

} // namespace winport
