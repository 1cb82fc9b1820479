#pragma once
#include <windows.h>

#include <string>

namespace QORCLIENT {

// Reads `valueName` under `subKey`, first in the native view, then in the
// 32-bit view; true when the value names an existing file or directory,
// which is then stored in `path`.
bool readRegistryPath(HKEY root, const std::string& subKey, const std::string& valueName,
                      std::string& path);

} // namespace QORCLIENT
