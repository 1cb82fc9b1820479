#include "ModuleRegistry.h"

#include "ClientLog.h"
#include <libdruxclient/ComPtr.h>

#include <qor/IQORCore.h>
#include <shlwapi.h>
#include <unknwn.h>

namespace QORCLIENT {
namespace {

std::string canonicalPath(const char* path)
{
    char canonical[MAX_PATH] = {};
    PathCanonicalizeA(canonical, path);
    return canonical;
}

DllGetClassObjectFunc classObjectEntry(HMODULE module)
{
    // Through a generic function pointer: FARPROC's own type differs.
    return reinterpret_cast<DllGetClassObjectFunc>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, "DllGetClassObject")));
}

} // namespace

ModuleRegistry::ModuleRegistry(const ProcessEndGate& end)
    : m_end(end)
{}

ModuleRegistry::~ModuleRegistry()
{
    // At process end a library may be detached already, and a thread the
    // system ended may hold the lock: the libraries are left to the system.
    if (!m_end.isEnding())
        freeAll();
}

bool ModuleRegistry::createObjectFromDll(const std::string& path, REFCLSID clsid, REFIID iid,
                                         void** object)
{
    HRESULT code = E_FAIL;
    const std::string canonical = canonicalPath(path.c_str());

    HMODULE module = nullptr;
    {
        ScopedLock lock(m_lock);
        const auto found = m_modules.find(canonical);
        if (found != m_modules.end()) {
            module = found->second;
            clientLog()->log("find a loaded module %p for %s, use this directly",
                             static_cast<void*>(module), canonical.c_str());
        }
    }
    if (!module)
        module = loadModule(canonical.c_str());
    if (!module)
        return false;

    const DllGetClassObjectFunc entry = classObjectEntry(module);
    if (!entry) {
        clientLog()->log("get DllGetClassObject function failed");
        return false;
    }
    ComPtr<IClassFactory> factory;
    code = entry(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.out()));
    if (FAILED(code)) {
        clientLog()->log("create class factory failed, ret 0x%08x", static_cast<unsigned>(code));
        return false;
    }
    if (factory) {
        code = factory->CreateInstance(nullptr, iid, object);
        clientLog()->log("create instance ret 0x%08x", static_cast<unsigned>(code));
    }
    return SUCCEEDED(code);
}

HMODULE ModuleRegistry::loadModule(const char* path)
{
    const std::string canonical = canonicalPath(path);
    // Held across the load, so two threads that both missed a path load it once.
    ScopedLock lock(m_lock);
    const auto found = m_modules.find(canonical);
    if (found != m_modules.end())
        return found->second;

    HMODULE module = LoadLibraryA(path);
    if (!module) {
        // Read before the log line: creating the logger may set it anew.
        const DWORD error = GetLastError();
        clientLog()->log("LoadLibrary failed, error %d, path %s", static_cast<int>(error), path);
        return nullptr;
    }
    if (!classObjectEntry(module)) {
        clientLog()->log("get DllGetClassObject function failed");
        FreeLibrary(module);
        return nullptr;
    }
    m_modules.emplace(canonical, module);
    clientLog()->log("load %s at %p", path, static_cast<void*>(module));
    return module;
}

void ModuleRegistry::freeAll()
{
    ScopedLock lock(m_lock);
    for (const auto& entry : m_modules)
        FreeLibrary(entry.second);
    m_modules.clear();
}

} // namespace QORCLIENT
