#pragma once
// The few file and debugger services of the stand-in core, through the
// Windows calls so that Windows-form paths work everywhere.
#include <string>

namespace qorcore {

// The folder above the one holding this library: the install directory.
std::string installDirectory();

// False when the file cannot be opened or read.
bool readWholeFile(const std::string& path, std::string& text);

// One line to the debugger output, printf-style.
void debugLine(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace qorcore
