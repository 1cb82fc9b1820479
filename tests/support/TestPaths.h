#pragma once
#include <string>

// Where the running test lives and the build it belongs to, as native paths:
// tests find bin/, qor/x64/qorcore.dll and the test libraries from here, so
// nothing depends on where the tree was built.
namespace TestPaths {

// Folder of the running test executable (the build's bin/), no trailing separator.
std::string executableFolder();
// The build folder: the parent of executableFolder().
std::string buildFolder();
// Native path of `relative` ("qor/x64/qorcore.dll") below the build folder.
std::string inBuild(const std::string& relative);
// A native path the way the loader reports module file names
// (GetModuleFileNameA): absolute, with '\' separators.
std::string asModulePath(const std::string& nativePath);

} // namespace TestPaths
