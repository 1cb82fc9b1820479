#pragma once
// Windows path to POSIX path, for every winport family that takes a file name
// (the files family's CreateFileA included): call toPosixPath, never convert
// by hand, so that all of winport reads a path the same way.
#include <cstddef>
#include <string>

namespace winport {

// The POSIX form of a path that needs no resolving, written into `buffer`
// without allocating: absolute ("Z:" or a leading separator), with no empty,
// "." or ".." segment. False when the path needs toPosixPath or does not fit.
// Per-line calls (the client log's _stat32) take this way first.
bool plainPosixPath(const char* windowsPath, char* buffer, size_t size);

// An absolute POSIX path for a Windows one. '\' and '/' both separate; "Z:"
// is the POSIX root (as under Wine), so is a leading separator; a relative
// path starts at the current folder; "." and ".." are resolved on the text.
// When the result does not exist as written, each component is matched
// case-insensitively against its folder, as Windows names are. False for an
// empty path, another drive or a network path: nothing here to map them to.
// `asWritten`, when given, receives the absolute path before that matching:
// the case the caller wrote, which Windows reports back for loaded modules.
bool toPosixPath(const char* windowsPath, std::string& posixPath, std::string* asWritten = nullptr);

// An absolute POSIX path in the Windows form that winport hands out: "Z:\...".
std::string toWindowsPath(const std::string& posixPath);

} // namespace winport
