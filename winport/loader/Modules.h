#pragma once
// What the dynamic linker knows about the modules of this process, in the
// loader's terms: a module is its load address (an HMODULE, as on Windows).
#include <windows.h>

#include <string>

namespace winport {

// The main program.
HMODULE mainModule();
// The main program's file (POSIX path).
std::string executableFile();
// The module that holds `address`, or null.
HMODULE moduleAt(const void* address);
// The module a dlopen handle stands for.
HMODULE moduleOfHandle(void* handle);
// The file of a loaded module (POSIX path, empty for the main program), or
// false when `module` is not the start of a loaded module.
bool fileOfModule(HMODULE module, std::string& file);
// A loaded module whose file name (no folder) is `name`, ignoring case; null if none.
HMODULE loadedModuleNamed(const std::string& name);
// A new dlopen reference to a loaded module; `flags` adds to RTLD_NOLOAD.
void* referenceModule(HMODULE module, int flags);

// Whether `file` holds a shared object this process can load: ELF of our own
// class, machine and byte order, of the shared-object type.
bool isLoadableObject(const std::string& file);

} // namespace winport
