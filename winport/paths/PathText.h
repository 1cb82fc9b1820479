#pragma once
// The textual side of a Windows file name, for the Windows-to-POSIX
// conversion. (PathCanonicalizeA reads a path its own way: see shellpath.cpp.)
#include <string>
#include <string_view>
#include <vector>

namespace winport {

struct PathText
{
    // "X:\", "X:", "\", "\\server\share\" or empty (relative), with '\'.
    std::string root;
    std::vector<std::string> segments;
};

// Splits on '\' and '/' and resolves "." and ".." on the text as Windows does:
// ".." at a root is dropped, a relative path keeps the ".." it starts with, and
// a relative path that climbs out of its first segment is left at the root.
PathText parsePath(std::string_view path);

} // namespace winport
