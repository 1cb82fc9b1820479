#pragma once
// The process's DLL search directory (SetDllDirectoryW), for the loader's search.
#include <string>

namespace winport {

// The directory in UTF-8, or empty when none is set.
std::string dllDirectory();

} // namespace winport
