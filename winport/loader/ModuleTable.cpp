#include "loader/ModuleTable.h"

namespace winport {

ModuleTable& ModuleTable::instance()
{
    // Never destroyed: modules may be freed from other libraries' static
    // destructors, after this one's would have run.
    static ModuleTable* table = new ModuleTable;
    return *table;
}

void ModuleTable::add(HMODULE base, void* handle, const std::string& name)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Entry& entry = m_entries[base];
    entry.handle = handle;
    ++entry.references;
    if (entry.name.empty())
        entry.name = name;
}

void* ModuleTable::release(HMODULE base)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto entry = m_entries.find(base);
    if (entry == m_entries.end())
        return nullptr;
    void* handle = entry->second.handle;
    if (--entry->second.references == 0)
        m_entries.erase(entry);
    return handle;
}

std::string ModuleTable::nameOf(HMODULE base) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto entry = m_entries.find(base);
    return entry == m_entries.end() ? std::string() : entry->second.name;
}

} // namespace winport
