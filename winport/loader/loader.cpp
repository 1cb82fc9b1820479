#include <windows.h>

#include "loader/DllDirectory.h"
#include "loader/ModuleTable.h"
#include "loader/Modules.h"
#include "paths/PosixPath.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstring>
#include <vector>

namespace {

using winport::ModuleTable;

constexpr DWORD kModuleHandleFlags = GET_MODULE_HANDLE_EX_FLAG_PIN |
                                     GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT |
                                     GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS;

bool hasFolder(const char* name)
{
    return std::strpbrk(name, "\\/:") != nullptr;
}

// A name without an extension means a ".dll"; a trailing '.' means no extension.
std::string withDefaultExtension(std::string name)
{
    const size_t file = name.find_last_of("\\/:") + 1;
    if (!name.empty() && name.back() == '.')
        name.pop_back();
    else if (name.find('.', file) == std::string::npos)
        name += ".dll";
    return name;
}

struct Found
{
    std::string file; // POSIX path of the library
    std::string name; // the path as written, made absolute, in Windows form
};

bool isFile(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool locate(const std::string& windowsPath, Found& found)
{
    std::string written;
    if (!winport::toPosixPath(windowsPath.c_str(), found.file, &written) || !isFile(found.file))
        return false;
    found.name = winport::toWindowsPath(written);
    return true;
}

// A bare name is looked for beside the program, then in the DLL directory;
// the current folder only while the default search order holds.
bool search(const std::string& name, Found& found)
{
    std::string programFolder = winport::toWindowsPath(winport::executableFile());
    programFolder.erase(programFolder.find_last_of('\\'));
    const std::optional<std::string> dllDirectory = winport::dllDirectory();
    std::vector<std::string> folders{programFolder};
    if (!dllDirectory)
        folders.emplace_back(".");
    else if (!dllDirectory->empty())
        folders.push_back(*dllDirectory);
    for (std::string& path : folders) {
        path.append("\\").append(name);
        if (locate(path, found))
            return true;
    }
    return false;
}

HMODULE fail(DWORD error)
{
    SetLastError(error);
    return nullptr;
}

// Opens the library and takes one reference to it for the caller.
HMODULE load(const Found& found)
{
    void* before = dlopen(found.file.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (before)
        dlclose(before);
    void* handle = dlopen(found.file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return fail(ERROR_MOD_NOT_FOUND); // mostly a library it needs is missing
    HMODULE module = winport::moduleOfHandle(handle);
    ModuleTable::instance().add(module, handle, before ? std::string() : found.name);
    return module;
}

// The module GetModuleHandleExA names: null for the program (even with
// GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, as on Windows), by address, or by
// name among the loaded modules.
HMODULE findModule(DWORD flags, LPCSTR name)
{
    if (!name)
        return winport::mainModule();
    if (flags & GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS)
        return winport::moduleAt(name);
    const std::string fileName = withDefaultExtension(name);
    if (!hasFolder(name))
        return winport::loadedModuleNamed(fileName);
    std::string file;
    if (!winport::toPosixPath(fileName.c_str(), file))
        return nullptr;
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (!handle)
        return nullptr;
    HMODULE module = winport::moduleOfHandle(handle);
    dlclose(handle);
    return module;
}

std::string moduleFileName(HMODULE module)
{
    if (!module || module == winport::mainModule())
        return winport::toWindowsPath(winport::executableFile());
    std::string name = ModuleTable::instance().nameOf(module);
    std::string file;
    if (name.empty() && winport::fileOfModule(module, file))
        name = winport::toWindowsPath(file);
    return name;
}

} // namespace

WINPORT_API HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName)
{
    if (!lpLibFileName)
        return fail(ERROR_INVALID_PARAMETER);
    if (!*lpLibFileName)
        return fail(ERROR_MOD_NOT_FOUND);
    const std::string name = withDefaultExtension(lpLibFileName);
    if (!hasFolder(lpLibFileName)) {
        // A module of that name already loaded is the one, wherever it lies.
        if (HMODULE loaded = winport::loadedModuleNamed(name)) {
            void* handle = winport::referenceModule(loaded, 0);
            if (!handle)
                return fail(ERROR_MOD_NOT_FOUND);
            ModuleTable::instance().add(loaded, handle, std::string());
            return loaded;
        }
    }
    Found found;
    if (!(hasFolder(lpLibFileName) ? locate(name, found) : search(name, found)))
        return fail(ERROR_MOD_NOT_FOUND);
    if (!winport::isLoadableObject(found.file))
        return fail(ERROR_BAD_EXE_FORMAT);
    return load(found);
}

WINPORT_API FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName)
{
    HMODULE module = hModule ? hModule : winport::mainModule();
    void* handle = winport::referenceModule(module, 0);
    if (!handle) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    // Shared objects export no ordinals.
    if (reinterpret_cast<uintptr_t>(lpProcName) <= 0xFFFF) {
        dlclose(handle);
        SetLastError(ERROR_INVALID_ORDINAL);
        return nullptr;
    }
    // Only the module's own exports count: dlsym would also find what the
    // libraries it links to export.
    void* symbol = dlsym(handle, lpProcName);
    dlclose(handle);
    if (!symbol || winport::moduleAt(symbol) != module) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(symbol);
}

WINPORT_API BOOL WINAPI FreeLibrary(HMODULE hLibModule)
{
    if (void* handle = ModuleTable::instance().release(hLibModule))
        return dlclose(handle) == 0;
    // A module winport holds no reference to stays; only a wrong handle fails.
    std::string file;
    if (winport::fileOfModule(hLibModule, file))
        return TRUE;
    SetLastError(ERROR_MOD_NOT_FOUND);
    return FALSE;
}

WINPORT_API BOOL WINAPI GetModuleHandleExA(DWORD dwFlags, LPCSTR lpModuleName, HMODULE* phModule)
{
    if (phModule)
        *phModule = nullptr;
    if (!phModule || (dwFlags & ~kModuleHandleFlags) ||
        ((dwFlags & GET_MODULE_HANDLE_EX_FLAG_PIN) &&
         (dwFlags & GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    HMODULE module = findModule(dwFlags, lpModuleName);
    if (!module) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return FALSE;
    }
    if (dwFlags & GET_MODULE_HANDLE_EX_FLAG_PIN) {
        if (void* handle = winport::referenceModule(module, RTLD_NODELETE))
            dlclose(handle);
    } else if (!(dwFlags & GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT) &&
               module != winport::mainModule()) {
        ModuleTable::instance().add(module, winport::referenceModule(module, 0), std::string());
    }
    *phModule = module;
    return TRUE;
}

// Windows' rule: a name that does not fit is cut to the buffer, terminated,
// and the buffer's size returned with ERROR_INSUFFICIENT_BUFFER.
WINPORT_API DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize)
{
    const std::string name = moduleFileName(hModule);
    if (name.empty()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    if (nSize == 0 || !lpFilename) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (name.size() < nSize) {
        std::memcpy(lpFilename, name.c_str(), name.size() + 1);
        return static_cast<DWORD>(name.size());
    }
    std::memcpy(lpFilename, name.data(), nSize - 1);
    lpFilename[nSize - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nSize;
}

WINPORT_API BOOL WINAPI DisableThreadLibraryCalls(HMODULE)
{
    return TRUE;
}
