#pragma once
#include <string>
#include <vector>

// The names a shared library exports, as its system's loader sees them: the
// PE export directory on Windows, the dynamic symbol table (nm -D) on POSIX.
// Empty when the library or the tool cannot be read.
std::vector<std::string> exportedNames(const std::string& libraryPath);
