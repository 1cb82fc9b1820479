#include "loader/Modules.h"

#include <dlfcn.h>
#include <elf.h>
#include <link.h>
#include <strings.h>
#include <sys/auxv.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

namespace winport {
namespace {

struct NameSearch
{
    const char* name;
    std::string file;
};

int matchFileName(dl_phdr_info* info, size_t, void* data)
{
    auto* search = static_cast<NameSearch*>(data);
    const char* slash = std::strrchr(info->dlpi_name, '/');
    if (!slash || strcasecmp(slash + 1, search->name) != 0)
        return 0;
    search->file = info->dlpi_name;
    return 1;
}

} // namespace

HMODULE mainModule()
{
    // The program headers lie inside the program's first mapping.
    return moduleAt(reinterpret_cast<const void*>(getauxval(AT_PHDR)));
}

std::string executableFile()
{
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path);
    return n > 0 ? std::string(path, static_cast<size_t>(n)) : std::string();
}

HMODULE moduleAt(const void* address)
{
    Dl_info info;
    if (!address || !dladdr(address, &info))
        return nullptr;
    return static_cast<HMODULE>(info.dli_fbase);
}

HMODULE moduleOfHandle(void* handle)
{
    link_map* map = nullptr;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || !map)
        return nullptr;
    return moduleAt(map->l_ld);
}

bool fileOfModule(HMODULE module, std::string& file)
{
    Dl_info info;
    if (!module || !dladdr(module, &info) || info.dli_fbase != module)
        return false;
    file = module == mainModule() ? std::string() : std::string(info.dli_fname);
    return true;
}

HMODULE loadedModuleNamed(const std::string& name)
{
    NameSearch search{name.c_str(), {}};
    if (!dl_iterate_phdr(&matchFileName, &search))
        return nullptr;
    void* handle = dlopen(search.file.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (!handle)
        return nullptr;
    HMODULE module = moduleOfHandle(handle);
    dlclose(handle);
    return module;
}

void* referenceModule(HMODULE module, int flags)
{
    std::string file;
    if (!fileOfModule(module, file))
        return nullptr;
    return dlopen(file.empty() ? nullptr : file.c_str(), RTLD_NOW | RTLD_NOLOAD | flags);
}

bool isLoadableObject(const std::string& file)
{
    // This very library's header, as mapped, says what "our own" means.
    const auto* own = reinterpret_cast<const Elf64_Ehdr*>(
        moduleAt(reinterpret_cast<const void*>(&isLoadableObject)));
    Elf64_Ehdr header;
    std::ifstream in(file, std::ios::binary);
    if (!own || !in.read(reinterpret_cast<char*>(&header), sizeof header))
        return false;
    return std::memcmp(header.e_ident, own->e_ident, EI_VERSION) == 0 && header.e_type == ET_DYN &&
           header.e_machine == own->e_machine;
}

} // namespace winport
