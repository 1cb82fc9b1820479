#include "Files.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdarg>
#include <cstdio>

namespace qorcore {
namespace {

const char kAnchor = 0; // an address inside this library

std::string parentOf(const std::string& path)
{
    const std::string::size_type slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

} // namespace

std::string installDirectory()
{
    HMODULE module = nullptr;
    char path[MAX_PATH + 1] = {};
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            &kAnchor, &module) ||
        !GetModuleFileNameA(module, path, MAX_PATH))
        return std::string();
    return parentOf(parentOf(path));
}

bool readWholeFile(const std::string& path, std::string& text)
{
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDONLY | _O_BINARY);
    if (descriptor == -1) {
        CloseHandle(file);
        return false;
    }
    FILE* stream = _fdopen(descriptor, "rb");
    if (!stream) {
        _close(descriptor);
        return false;
    }
    text.clear();
    char buffer[4096];
    size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, stream)) > 0)
        text.append(buffer, got);
    const bool complete = !ferror(stream);
    fclose(stream);
    return complete;
}

void debugLine(const char* format, ...)
{
    char line[2048] = {};
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(line, sizeof line - 1, format, arguments);
    va_end(arguments);
    std::string text(line);
    text += '\n';
    OutputDebugStringA(text.c_str());
}

} // namespace qorcore
