#include "TestPaths.h"

#include "ChildProcess.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace TestPaths {

std::string executableFolder()
{
    return fs::path(ChildProcess::selfPath()).parent_path().string();
}

std::string inBuild(const std::string& relative)
{
    const fs::path build = fs::path(executableFolder()).parent_path();
    return (build / fs::path(relative).make_preferred()).string();
}

} // namespace TestPaths
