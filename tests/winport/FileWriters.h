#pragma once
// The winport file tests' helpers, and the appending writers that both suites
// run: with byte-range locks on every system, without them on POSIX alone.
#include "TempDir.h"

#include <windows.h>
#include <stdio.h>

#include <string>

std::string readAll(const std::string& path);
void writeAll(const std::string& path, const std::string& bytes);
HANDLE openFile(const std::string& path, DWORD disposition);
// The client log's way to a stream: handle, descriptor, stream.
FILE* openStream(const std::string& path, DWORD disposition, int flags, const char* mode);
void writeLine(FILE* stream, const std::string& line);
BOOL lockRange(HANDLE file, DWORD flags, DWORD offset, DWORD length);
BOOL unlockRange(HANDLE file, DWORD offset, DWORD length);

constexpr DWORD kTryExclusive = LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY;

// Two threads, each with its own handle and stream, append 40 lines of 8193
// characters, every second one a newline (12290 bytes once translated); each
// line under an exclusive lock of the whole file when `lock` is set, as
// appending writers need on Windows. Every line must arrive whole.
void expectWholeLongLinesFromTwoThreads(const TempDir& dir, bool lock);

// Runs two appending children at once and checks that every line of both
// arrived whole, once.
void expectWholeLinesFromTwoProcesses(const TempDir& dir, const char* lock);
