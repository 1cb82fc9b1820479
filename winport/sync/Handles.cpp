#include "sync/KernelObject.h"

#include <mutex>
#include <unordered_map>

namespace winport {
namespace handles {
namespace {

struct Table
{
    std::mutex mutex;
    std::unordered_map<HANDLE, std::shared_ptr<KernelObject>> objects;
};

// Never destroyed: streams and events may still be closed by other
// libraries' destructors at exit.
Table& table()
{
    static Table* instance = new Table;
    return *instance;
}

} // namespace

HANDLE insert(std::shared_ptr<KernelObject> object)
{
    HANDLE handle = object.get();
    Table& t = table();
    std::lock_guard<std::mutex> guard(t.mutex);
    t.objects.emplace(handle, std::move(object));
    return handle;
}

std::shared_ptr<KernelObject> find(HANDLE handle, KernelObject::Kind kind)
{
    {
        Table& t = table();
        std::lock_guard<std::mutex> guard(t.mutex);
        const auto it = t.objects.find(handle);
        if (it != t.objects.end() && it->second->kind() == kind)
            return it->second;
    }
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
}

std::shared_ptr<KernelObject> remove(HANDLE handle)
{
    Table& t = table();
    std::lock_guard<std::mutex> guard(t.mutex);
    const auto it = t.objects.find(handle);
    if (it == t.objects.end())
        return nullptr;
    std::shared_ptr<KernelObject> object = std::move(it->second);
    t.objects.erase(it);
    return object;
}

} // namespace handles
} // namespace winport

WINPORT_API BOOL CloseHandle(HANDLE hObject)
{
    if (!winport::handles::remove(hObject)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
