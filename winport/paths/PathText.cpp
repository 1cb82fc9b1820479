#include "paths/PathText.h"

#include <cctype>

namespace winport {
namespace {

bool isSeparator(char c)
{
    return c == '\\' || c == '/';
}

// Length of the first segment of `path` (up to a separator or the end).
size_t segmentLength(std::string_view path)
{
    size_t n = 0;
    while (n < path.size() && !isSeparator(path[n]))
        ++n;
    return n;
}

// Takes the root off the front of `path` and returns it in '\' form.
std::string takeRoot(std::string_view& path)
{
    if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1])) {
        // \\server\share: neither part can be climbed over.
        std::string root = "\\\\";
        path.remove_prefix(2);
        for (int part = 0; part < 2 && !path.empty(); ++part) {
            size_t n = segmentLength(path);
            root.append(path.substr(0, n)).push_back('\\');
            path.remove_prefix(n < path.size() ? n + 1 : n);
        }
        return root;
    }
    if (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':') {
        std::string root(path.substr(0, 2));
        path.remove_prefix(2);
        if (!path.empty() && isSeparator(path[0])) {
            root.push_back('\\');
            path.remove_prefix(1);
        }
        return root;
    }
    if (!path.empty() && isSeparator(path[0])) {
        path.remove_prefix(1);
        return "\\";
    }
    return {};
}

} // namespace

PathText parsePath(std::string_view path)
{
    PathText text;
    text.root = takeRoot(path);
    bool pushedName = false;
    while (!path.empty()) {
        size_t n = segmentLength(path);
        std::string_view segment = path.substr(0, n);
        path.remove_prefix(n < path.size() ? n + 1 : n);
        if (segment.empty() || segment == ".")
            continue;
        if (segment != "..") {
            text.segments.emplace_back(segment);
            pushedName = true;
        } else if (!text.segments.empty() && text.segments.back() != "..") {
            text.segments.pop_back();
            if (text.segments.empty() && text.root.empty())
                text.root = "\\";
        } else if (text.root.empty() && !pushedName) {
            text.segments.emplace_back(segment);
        }
    }
    return text;
}

} // namespace winport
