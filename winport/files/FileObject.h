#pragma once
#include "sync/KernelObject.h"

#include <cstdint>
#include <mutex>
#include <vector>

namespace winport {

// An open file: its descriptor, and the byte ranges locked through this
// handle. Ranges are open-file-description locks, so they belong to the
// handle, as Windows locks do, not to the process as classic POSIX locks.
class FileObject : public KernelObject
{
public:
    static constexpr Kind kKind = Kind::File;

    explicit FileObject(int fd)
        : KernelObject(kKind)
        , m_fd(fd)
    {}
    ~FileObject() override;

    int fd() const { return m_fd; }

    // Windows error code, ERROR_SUCCESS when the range is locked.
    DWORD lock(uint64_t offset, uint64_t length, bool exclusive, bool wait);
    DWORD unlock(uint64_t offset, uint64_t length);

private:
    struct Range
    {
        uint64_t offset;
        uint64_t length;
        bool exclusive;
        uint64_t end() const;
        bool overlaps(const Range& other) const;
    };

    bool setLock(const Range& range, short type, bool wait) const;
    bool conflictsWithOwn(const Range& range) const;
    void forget(const Range& range);

    int m_fd;
    std::mutex m_mutex;
    std::vector<Range> m_ranges;
};

} // namespace winport
