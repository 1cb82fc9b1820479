#include "ExportTable.h"

#include <windows.h>

#include <cstdio>

#ifdef _WIN32

std::vector<std::string> exportedNames(const std::string& libraryPath)
{
    std::vector<std::string> names;
    HMODULE module = LoadLibraryExA(libraryPath.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    if (!module)
        return names;
    const auto* base = reinterpret_cast<const unsigned char*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& entry =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (entry.VirtualAddress != 0) {
        const auto* table =
            reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + entry.VirtualAddress);
        const auto* nameOffsets = reinterpret_cast<const DWORD*>(base + table->AddressOfNames);
        for (DWORD i = 0; i < table->NumberOfNames; ++i)
            names.emplace_back(reinterpret_cast<const char*>(base + nameOffsets[i]));
    }
    FreeLibrary(module);
    return names;
}

#else

std::vector<std::string> exportedNames(const std::string& libraryPath)
{
    std::vector<std::string> names;
    const std::string command = "nm -D --defined-only '" + libraryPath + "' 2>/dev/null";
    FILE* output = popen(command.c_str(), "r");
    if (!output)
        return names;
    // Each line: address, type, name.
    char name[1024];
    while (std::fscanf(output, "%*s %*s %1023s", name) == 1)
        names.emplace_back(name);
    pclose(output);
    return names;
}

#endif
