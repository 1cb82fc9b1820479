#include "TempDir.h"
#include "TestPaths.h"

#include <windows.h>
#include <io.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <tuple>

namespace fs = std::filesystem;

namespace {

constexpr DWORD kUnchanged = GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
constexpr DWORD kByAddress = GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | kUnchanged;

FARPROC answerOf(HMODULE module)
{
    return GetProcAddress(module, "winport_testlib_answer");
}

std::string moduleFileName(HMODULE module)
{
    char name[MAX_PATH] = {};
    return std::string(name, GetModuleFileNameA(module, name, MAX_PATH));
}

const std::string kLibrary = TestPaths::inBuild("testlibs/winport_testlib.dll");

// Every spelling of a path is one module; each call that fails says why with
// Windows' code.
TEST(Loader, LoadsFindsNamesAndFailsAsWindowsDoes)
{
    TempDir dir;
    std::ofstream(dir.file("text.dll")) << "This is not a library.\n";
    const std::pair<std::string, DWORD> failures[] = {
        {dir.file("missing.dll"), ERROR_MOD_NOT_FOUND},
        {dir.file("no\\x.dll"), ERROR_MOD_NOT_FOUND},
        {"zub_no_such_module", ERROR_MOD_NOT_FOUND},
        {"", ERROR_MOD_NOT_FOUND},
        {dir.file("text.dll"), ERROR_BAD_EXE_FORMAT}};
    for (const auto& [name, error] : failures) {
        SetLastError(0);
        EXPECT_EQ(nullptr, LoadLibraryA(name.c_str())) << name;
        EXPECT_EQ(error, GetLastError()) << name;
    }
    HMODULE module = LoadLibraryA(kLibrary.c_str());
    ASSERT_NE(nullptr, module);
    const fs::path file(kLibrary);
    EXPECT_EQ(module, LoadLibraryA(file.generic_string().c_str()));
    EXPECT_EQ(
        module,
        LoadLibraryA((file.parent_path() / "../testlibs/winport_testlib.dll").string().c_str()));
    const std::string name = moduleFileName(module); // '\' only, no "..", as first loaded
    EXPECT_TRUE(name.find_first_of("/") == name.npos && name.find("\\..") == name.npos) << name;
    EXPECT_EQ(0, _access(name.c_str(), 0)) << name;
    for (LPCSTR missing : {"winport_testlib_nothing", "malloc"}) { // malloc: its C runtime's
        SetLastError(0);
        EXPECT_EQ(nullptr, GetProcAddress(module, missing));
        EXPECT_EQ(ERROR_PROC_NOT_FOUND, GetLastError());
    }
    // An ordinal it lacks: 182 here, 127 under Wine; only the failure counts.
    EXPECT_EQ(nullptr, GetProcAddress(module, reinterpret_cast<LPCSTR>(uintptr_t{999})));

    const auto heap = std::make_unique<int>(0);
    const auto atHeap = reinterpret_cast<LPCSTR>(heap.get());
    HMODULE program = nullptr;
    ASSERT_TRUE(GetModuleHandleExA(kUnchanged, nullptr, &program));
    // What GetModuleHandleExA finds, or null and the code it fails with.
    const std::tuple<DWORD, LPCSTR, HMODULE, DWORD> handles[] = {
        {kByAddress, nullptr, program, 0},
        {kByAddress, reinterpret_cast<LPCSTR>(&moduleFileName), program, 0},
        {kByAddress, reinterpret_cast<LPCSTR>(answerOf(module)), module, 0},
        {kUnchanged, "WINPORT_TESTLIB", module, 0},
        {kByAddress, atHeap, nullptr, ERROR_MOD_NOT_FOUND},
        {kUnchanged, "zub_not_loaded.dll", nullptr, ERROR_MOD_NOT_FOUND},
        {kUnchanged | GET_MODULE_HANDLE_EX_FLAG_PIN, nullptr, nullptr, ERROR_INVALID_PARAMETER},
        {0x8, nullptr, nullptr, ERROR_INVALID_PARAMETER}};
    for (const auto& [flags, which, expected, error] : handles) {
        HMODULE found = module;
        SetLastError(0);
        EXPECT_EQ(expected != nullptr, GetModuleHandleExA(flags, which, &found) != FALSE);
        EXPECT_EQ(expected, found);
        EXPECT_EQ(error, expected ? error : GetLastError());
    }
    for (int reference = 0; reference < 3; ++reference)
        EXPECT_TRUE(FreeLibrary(module));
    EXPECT_FALSE(GetModuleHandleExA(kUnchanged, kLibrary.c_str(), &module));
    char text[MAX_PATH];
    EXPECT_EQ(0u, GetModuleFileNameA(reinterpret_cast<HMODULE>(heap.get()), text, MAX_PATH));
    EXPECT_EQ(ERROR_MOD_NOT_FOUND, GetLastError());
    // A name cut to the buffer comes with 122; Windows terminates it there and
    // Wine does not, so the characters before the last are what compare.
    const std::string full = moduleFileName(nullptr);
    const DWORD length = static_cast<DWORD>(full.size());
    for (DWORD size : {length + 1, length, DWORD{5}}) {
        SetLastError(0);
        EXPECT_EQ(std::min(size, length), GetModuleFileNameA(nullptr, text, size));
        EXPECT_EQ(size > length ? 0u : ERROR_INSUFFICIENT_BUFFER,
                  size > length ? 0u : GetLastError());
        EXPECT_EQ(full.substr(0, size - 1), std::string(text, size - 1));
    }
}

// GetDllDirectoryW tells L"" from NULL no more than Wine does; a bare name in
// the current folder does on Windows: L"" takes that folder out of the search,
// NULL brings the default order back, and a folder takes its place.
TEST(Loader, TheDllDirectoryDecidesWhereBareNamesAreSought)
{
    TempDir dir;
    const fs::path home = fs::current_path();
    wchar_t text[MAX_PATH] = L"x";
    EXPECT_EQ(0u, GetDllDirectoryW(MAX_PATH, text));
    EXPECT_EQ(L'\0', text[0]);
    const std::wstring suite = L"C:\\Suite\\bin\\..\\Module\\QualityControl\\1\\QualityControl\\";
    ASSERT_TRUE(SetDllDirectoryW(suite.c_str()));
    EXPECT_EQ(suite.size(), GetDllDirectoryW(MAX_PATH, text));
    EXPECT_EQ(suite, text);
    EXPECT_EQ(suite.size() + 1, GetDllDirectoryW(4, text));

    for (const char* copy : {"current/Searched.dll", "beside/Beside.dll"}) {
        fs::create_directories(fs::path(dir.file(copy)).parent_path());
        fs::copy_file(kLibrary, dir.file(copy));
    }
    fs::current_path(dir.file("current"));
    HMODULE ntdll = nullptr;
    const bool wine = GetModuleHandleExA(kUnchanged, "ntdll.dll", &ntdll) &&
                      GetProcAddress(ntdll, "wine_get_version");
    const std::wstring beside = fs::path(dir.file("beside")).wstring();
    const std::tuple<const wchar_t*, LPCSTR, bool> loads[] = {
        {nullptr, "Searched", true},
        {L"", "Searched", false},
        {beside.c_str(), "Searched", false},
        {beside.c_str(), "Beside", true},
    };
    for (const auto& [directory, name, found] : loads) {
        SCOPED_TRACE(std::string(name) + (directory ? " with a directory" : " with NULL"));
        ASSERT_TRUE(SetDllDirectoryW(directory));
        if (!directory || !*directory) {
            EXPECT_EQ(0u, GetDllDirectoryW(MAX_PATH, text));
            EXPECT_EQ(L'\0', text[0]);
        }
        if (directory && !*directory && wine)
            continue; // Wine takes L"" for NULL
        SetLastError(0);
        HMODULE module = LoadLibraryA(name);
        EXPECT_EQ(found ? 0u : ERROR_MOD_NOT_FOUND, module ? 0u : GetLastError());
        EXPECT_EQ(found, answerOf(module) != nullptr);
        if (module)
            FreeLibrary(module);
    }
    SetDllDirectoryW(nullptr);
    fs::current_path(home);
}

} // namespace
