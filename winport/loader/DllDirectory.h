#pragma once
// The process's DLL search directory (SetDllDirectoryW), for the loader's search.
#include <optional>
#include <string>

namespace winport {

// The directory in UTF-8; empty when SetDllDirectoryW(L"") took the current
// folder out of the search, none when the default search order holds.
std::optional<std::string> dllDirectory();

} // namespace winport
