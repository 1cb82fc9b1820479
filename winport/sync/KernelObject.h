#pragma once
// What a HANDLE points to: a small object with a kind tag. Handles are only
// ever used through HandleTable, which knows which addresses are live.
#include <windows.h>

#include <memory>

namespace winport {

class KernelObject
{
public:
    enum class Kind { Event, File };

    explicit KernelObject(Kind kind)
        : m_kind(kind)
    {}
    virtual ~KernelObject() = default;
    KernelObject(const KernelObject&) = delete;
    KernelObject& operator=(const KernelObject&) = delete;

    Kind kind() const { return m_kind; }

private:
    Kind m_kind;
};

// The live handles of the process. A call that uses a handle holds a
// reference to its object, so CloseHandle on another thread cannot pull the
// object away in the middle of a call; the object goes with its last user.
namespace handles {

HANDLE insert(std::shared_ptr<KernelObject> object);
// Null, with ERROR_INVALID_HANDLE as last error, when `handle` is not a live
// handle of that kind.
std::shared_ptr<KernelObject> find(HANDLE handle, KernelObject::Kind kind);
// The object taken out of the table, null when `handle` is not live.
std::shared_ptr<KernelObject> remove(HANDLE handle);

template <class T>
std::shared_ptr<T> find(HANDLE handle)
{
    return std::static_pointer_cast<T>(find(handle, T::kKind));
}

} // namespace handles
} // namespace winport
