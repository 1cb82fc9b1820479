#include "paths/PosixPath.h"

#include "paths/PathText.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>

namespace winport {
namespace {

bool isSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool exists(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

std::string currentFolder()
{
    std::unique_ptr<char, decltype(&free)> cwd(getcwd(nullptr, 0), &free);
    return cwd ? std::string(cwd.get()) : std::string("/");
}

// The entry of `folder` that equals `name` but for ASCII case; the first in
// byte order when several do, so the choice is the same every time.
std::string findIgnoringCase(const std::string& folder, const std::string& name)
{
    struct CloseDir
    {
        void operator()(DIR* dir) const { closedir(dir); }
    };
    std::unique_ptr<DIR, CloseDir> dir(opendir(folder.c_str()));
    std::string match;
    if (!dir)
        return match;
    while (const dirent* entry = readdir(dir.get())) {
        if (strcasecmp(entry->d_name, name.c_str()) == 0 &&
            (match.empty() || match > entry->d_name))
            match = entry->d_name;
    }
    return match;
}

std::string joinPosix(const std::string& folder, const std::string& name)
{
    return folder == "/" ? "/" + name : folder + "/" + name;
}

// Walks the segments from the root, taking each as written when it exists and
// else the entry that matches it but for case; past the first segment that
// matches nothing, the rest is kept as written.
std::string resolveCase(const std::vector<std::string>& segments)
{
    std::string path = "/";
    bool found = true;
    for (const std::string& segment : segments) {
        std::string next = joinPosix(path, segment);
        if (found && !exists(next)) {
            std::string other = findIgnoringCase(path, segment);
            found = !other.empty();
            if (found)
                next = joinPosix(path, other);
        }
        path = next;
    }
    return path;
}

// A segment that names itself: not empty, not "." or "..".
bool plainSegment(const char* segment, size_t length)
{
    return length > 0 &&
           !(segment[0] == '.' && (length == 1 || (length == 2 && segment[1] == '.')));
}

} // namespace

bool plainPosixPath(const char* windowsPath, char* buffer, size_t size)
{
    if (!windowsPath || size == 0)
        return false;
    const char* in = windowsPath;
    if ((in[0] == 'Z' || in[0] == 'z') && in[1] == ':')
        in += 2;
    if (!isSeparator(in[0]) || isSeparator(in[1]))
        return false; // relative, or a network path
    size_t length = 0;
    size_t segment = 1; // where the segment being copied starts
    for (; *in; ++in) {
        if (length + 1 >= size)
            return false;
        const bool separator = isSeparator(*in);
        if (separator && length > 0) {
            if (!plainSegment(buffer + segment, length - segment))
                return false;
            segment = length + 1;
        }
        buffer[length++] = separator ? '/' : *in;
    }
    buffer[length] = '\0';
    return plainSegment(buffer + segment, length - segment);
}

bool toPosixPath(const char* windowsPath, std::string& posixPath, std::string* asWritten)
{
    if (!windowsPath || !*windowsPath)
        return false;
    std::string_view path(windowsPath);
    const bool network = isSeparator(path[0]) && path.size() > 1 && isSeparator(path[1]);
    const bool drive = path.size() >= 2 && path[1] == ':';
    if (network || (drive && std::toupper(static_cast<unsigned char>(path[0])) != 'Z'))
        return false;
    if (drive)
        path.remove_prefix(2);
    const bool rooted = !path.empty() && isSeparator(path[0]);
    const PathText text =
        parsePath(rooted ? std::string(path) : currentFolder() + "/" + std::string(path));

    std::string written = "/";
    for (const std::string& segment : text.segments)
        written = joinPosix(written, segment);
    posixPath = exists(written) ? written : resolveCase(text.segments);
    if (asWritten)
        *asWritten = written;
    return true;
}

std::string toWindowsPath(const std::string& posixPath)
{
    std::string out = "Z:";
    out += posixPath;
    std::replace(out.begin(), out.end(), '/', '\\');
    return out;
}

} // namespace winport
