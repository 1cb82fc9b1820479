#include "TestPaths.h"

#include <windows.h>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// The module path back in native form: on POSIX the loader spells the root
// "Z:" and separates with '\', as under Wine.
std::string nativeFromModulePath(std::string path)
{
#ifndef _WIN32
    if (path.size() >= 2 && path[1] == ':')
        path.erase(0, 2);
    std::replace(path.begin(), path.end(), '\\', '/');
#endif
    return path;
}

} // namespace

namespace TestPaths {

std::string executableFolder()
{
    char name[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, name, MAX_PATH);
    return fs::path(nativeFromModulePath(name)).parent_path().string();
}

std::string inBuild(const std::string& relative)
{
    const fs::path build = fs::path(executableFolder()).parent_path();
    return (build / fs::path(relative).make_preferred()).string();
}

} // namespace TestPaths
