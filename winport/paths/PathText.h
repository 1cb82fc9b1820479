#pragma once
// The textual side of Windows paths, shared by PathCanonicalizeA and the
// Windows-to-POSIX conversion.
#include <string>
#include <string_view>
#include <vector>

namespace winport {

struct PathText
{
    // "X:\", "X:", "\", "\\server\share\" or empty (relative), with '\'.
    std::string root;
    std::vector<std::string> segments;
    bool trailingSeparator = false;

    // Root and segments joined with '\'; a lone root, or "\" when nothing is left.
    std::string join() const;
};

// Splits on '\' and '/' and resolves "." and ".." on the text as Windows does:
// ".." at a root is dropped, a relative path keeps the ".." it starts with, and
// a relative path that climbs out of its first segment is left at the root.
PathText parsePath(std::string_view path);

} // namespace winport
