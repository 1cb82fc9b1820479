#pragma once
#include <windows.h>

#include "ProcessEndGate.h"

#include <libdruxclient/CriticalSection.h>

#include <map>
#include <string>

namespace QORCLIENT {

// Libraries loaded for their class objects, keyed by canonical path (case
// kept), each loaded once and kept until freeAll, which the destructor runs
// unless the process is ending.
class ModuleRegistry
{
public:
    // `end` must outlive the registry.
    explicit ModuleRegistry(const ProcessEndGate& end);
    ~ModuleRegistry();
    ModuleRegistry(const ModuleRegistry&) = delete;
    ModuleRegistry& operator=(const ModuleRegistry&) = delete;

    // True when the library's class object yielded the object (or no class
    // object at all, which leaves *object untouched).
    bool createObjectFromDll(const std::string& path, REFCLSID clsid, REFIID iid, void** object);
    HMODULE loadModule(const char* path);
    void freeAll();

private:
    const ProcessEndGate& m_end;
    CriticalSection m_lock;
    std::map<std::string, HMODULE> m_modules;
};

} // namespace QORCLIENT
