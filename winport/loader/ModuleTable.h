#pragma once
// The module references that LoadLibraryA and GetModuleHandleExA took, so that
// FreeLibrary drops exactly those, and the name each module was loaded by.
#include <windows.h>

#include <map>
#include <mutex>
#include <string>

namespace winport {

class ModuleTable
{
public:
    static ModuleTable& instance();

    // One more reference to module `base`, held through the dlopen handle
    // `handle`. `name`, when not empty and the module has none yet, is the
    // Windows path that GetModuleFileNameA will report for it.
    void add(HMODULE base, void* handle, const std::string& name);
    // Takes one reference back and returns its dlopen handle to close, or null
    // when winport holds none for `base`.
    void* release(HMODULE base);
    // The name the module was loaded by, or empty when it came another way.
    std::string nameOf(HMODULE base) const;

private:
    struct Entry
    {
        void* handle = nullptr;
        unsigned references = 0;
        std::string name;
    };

    mutable std::mutex m_mutex;
    std::map<HMODULE, Entry> m_entries;
};

} // namespace winport
