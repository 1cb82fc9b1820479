#pragma once
#include <string>

// Where the running test lives and the build it belongs to, as native paths:
// tests find bin/, qor/x64/qorcore.dll and the test libraries from here, so
// nothing depends on where the tree was built.
namespace TestPaths {

// Folder of the running test executable (the build's bin/), no trailing separator.
std::string executableFolder();
// Native path of `relative` ("qor/x64/qorcore.dll") below the build folder,
// the parent of executableFolder().
std::string inBuild(const std::string& relative);

} // namespace TestPaths
