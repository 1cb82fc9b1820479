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

namespace fs = std::filesystem;

namespace {

const char kAnswer[] = "winport_testlib_answer";
constexpr DWORD kUnchanged = GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
constexpr DWORD kByAddress = GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | kUnchanged;

int callAnswer(HMODULE module)
{
    using Answer = int (*)();
    const auto answer = reinterpret_cast<Answer>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, kAnswer)));
    return answer ? answer() : -1;
}

std::string moduleFileName(HMODULE module)
{
    char name[MAX_PATH] = {};
    return std::string(name, GetModuleFileNameA(module, name, MAX_PATH));
}

// Where Wine's loader is known to differ from Windows' (and so from winport).
bool underWine()
{
    HMODULE ntdll = nullptr;
    return GetModuleHandleExA(kUnchanged, "ntdll.dll", &ntdll) &&
           GetProcAddress(ntdll, "wine_get_version");
}

class Loader : public ::testing::Test
{
protected:
    void TearDown() override
    {
        SetDllDirectoryW(nullptr);
        fs::current_path(home);
    }

    std::string copyLibrary(const std::string& name)
    {
        const fs::path target = fs::path(dir.path()) / fs::path(name).make_preferred();
        fs::create_directories(target.parent_path());
        fs::copy_file(library, target);
        return target.string();
    }

    const std::string library = TestPaths::inBuild("testlibs/winport_testlib.dll");
    const fs::path home = fs::current_path();
    TempDir dir;
};

TEST_F(Loader, FailuresCarryWindowsCodes)
{
    std::ofstream(dir.file("text.dll")) << "This is not a library.\n";
    const struct
    {
        std::string name;
        DWORD error;
    } loads[] = {{dir.file("missing.dll"), ERROR_MOD_NOT_FOUND},
                 {dir.file("nowhere\\x.dll"), ERROR_MOD_NOT_FOUND},
                 {"zub_no_such_module", ERROR_MOD_NOT_FOUND},
                 {"", ERROR_MOD_NOT_FOUND},
                 {dir.file("text.dll"), ERROR_BAD_EXE_FORMAT}};
    for (const auto& load : loads) {
        SetLastError(0);
        EXPECT_EQ(nullptr, LoadLibraryA(load.name.c_str())) << load.name;
        EXPECT_EQ(load.error, GetLastError()) << load.name;
    }

    HMODULE module = LoadLibraryA(library.c_str());
    ASSERT_NE(nullptr, module);
    const struct
    {
        LPCSTR name;
        DWORD error;
    } symbols[] = {{"winport_testlib_nothing", ERROR_PROC_NOT_FOUND},
                   {"malloc", ERROR_PROC_NOT_FOUND}}; // only the C runtime it uses has it
    for (const auto& symbol : symbols) {
        SetLastError(0);
        EXPECT_EQ(nullptr, GetProcAddress(module, symbol.name));
        EXPECT_EQ(symbol.error, GetLastError());
    }
    // An ordinal it lacks: Windows says 182 and Wine 127, so only the failure counts.
    EXPECT_EQ(nullptr, GetProcAddress(module, reinterpret_cast<LPCSTR>(uintptr_t{999})));
    EXPECT_TRUE(FreeLibrary(module));
}

// Every spelling of one path is one module, named by its first load: absolute,
// '\' only, no "..".
TEST_F(Loader, ModulesAreFoundByPathNameAndAddress)
{
    const fs::path file(library);
    const std::string viaParent = (file.parent_path() / ".." / "testlibs" / file.filename()).string();
    HMODULE module = LoadLibraryA(library.c_str());
    ASSERT_NE(nullptr, module);
    EXPECT_EQ(module, LoadLibraryA(file.generic_string().c_str()));
    EXPECT_EQ(module, LoadLibraryA(viaParent.c_str()));
    EXPECT_EQ(42, callAnswer(module));
    const std::string loaded = moduleFileName(module);
    EXPECT_EQ(loaded.find('/'), std::string::npos) << loaded;
    EXPECT_EQ(loaded.find("\\..\\"), std::string::npos) << loaded;
    EXPECT_EQ(loaded.substr(loaded.size() - 20), "\\winport_testlib.dll");
    EXPECT_EQ(0, _access(loaded.c_str(), 0)) << loaded;

    const auto heap = std::make_unique<int>(0);
    HMODULE program = nullptr;
    ASSERT_TRUE(GetModuleHandleExA(kUnchanged, nullptr, &program));
    const struct
    {
        DWORD flags;
        LPCSTR name;
        HMODULE expected; // null: fails with `error`
        DWORD error;
    } handles[] = {
        {kByAddress, nullptr, program, 0},
        {kByAddress, reinterpret_cast<LPCSTR>(&callAnswer), program, 0},
        {kByAddress, reinterpret_cast<LPCSTR>(GetProcAddress(module, kAnswer)), module, 0},
        {kUnchanged, "WINPORT_TESTLIB", module, 0},
        {kByAddress, reinterpret_cast<LPCSTR>(heap.get()), nullptr, ERROR_MOD_NOT_FOUND},
        {kUnchanged, "zub_not_loaded.dll", nullptr, ERROR_MOD_NOT_FOUND},
        {kUnchanged | GET_MODULE_HANDLE_EX_FLAG_PIN, nullptr, nullptr, ERROR_INVALID_PARAMETER},
        {0x8, nullptr, nullptr, ERROR_INVALID_PARAMETER},
    };
    for (const auto& h : handles) {
        HMODULE found = module;
        SetLastError(0);
        EXPECT_EQ(h.expected != nullptr, GetModuleHandleExA(h.flags, h.name, &found) != FALSE);
        EXPECT_EQ(h.expected, found);
        if (!h.expected) {
            EXPECT_EQ(h.error, GetLastError());
        }
    }
    for (int reference = 0; reference < 3; ++reference)
        EXPECT_TRUE(FreeLibrary(module));
    EXPECT_FALSE(GetModuleHandleExA(kUnchanged, library.c_str(), &module));
    char name[MAX_PATH];
    SetLastError(0);
    EXPECT_EQ(0u, GetModuleFileNameA(reinterpret_cast<HMODULE>(heap.get()), name, MAX_PATH));
    EXPECT_EQ(ERROR_MOD_NOT_FOUND, GetLastError());
}

// A name cut to the buffer comes with 122; Windows terminates it inside the
// buffer and Wine does not, so only the characters before the last compare.
TEST_F(Loader, ModuleFileNameFitsTheBufferOrSays122)
{
    const std::string full = moduleFileName(nullptr);
    const DWORD length = static_cast<DWORD>(full.size());
    for (DWORD size : {length + 1, length, DWORD{5}}) {
        char name[MAX_PATH];
        SetLastError(0);
        EXPECT_EQ(std::min(size, length), GetModuleFileNameA(nullptr, name, size));
        if (size <= length) {
            EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());
        }
        EXPECT_EQ(full.substr(0, size - 1), std::string(name, size - 1));
    }
}

// GetDllDirectoryW cannot tell L"" from NULL; a bare name can: L"" takes the
// current folder out of the search, NULL brings the default order back, and a
// folder takes the current folder's place.
TEST_F(Loader, TheDllDirectoryDecidesWhereBareNamesAreSought)
{
    wchar_t text[MAX_PATH];
    std::fill(std::begin(text), std::end(text), L'x');
    EXPECT_EQ(0u, GetDllDirectoryW(MAX_PATH, text));
    EXPECT_EQ(L'\0', text[0]);
    const std::wstring suite = L"C:\\Suite\\bin\\..\\Module\\QualityControl\\1\\QualityControl\\";
    ASSERT_TRUE(SetDllDirectoryW(suite.c_str()));
    EXPECT_EQ(suite.size(), GetDllDirectoryW(MAX_PATH, text));
    EXPECT_EQ(suite, text);
    EXPECT_EQ(suite.size() + 1, GetDllDirectoryW(4, text));

    copyLibrary("current/Searched.dll");
    copyLibrary("beside/Beside.dll");
    fs::current_path(dir.file("current"));
    const std::wstring beside = fs::path(dir.file("beside")).wstring();
    const struct
    {
        const wchar_t* directory;
        LPCSTR name;
        DWORD error;
    } loads[] = {{nullptr, "Searched", 0},
                 {L"", "Searched", ERROR_MOD_NOT_FOUND},
                 {beside.c_str(), "Searched", ERROR_MOD_NOT_FOUND},
                 {beside.c_str(), "Beside", 0},
                 {nullptr, "Searched.dll", 0}};
    for (const auto& load : loads) {
        SCOPED_TRACE(load.directory ? load.directory : L"(null)");
        ASSERT_TRUE(SetDllDirectoryW(load.directory));
        if (!load.directory || !*load.directory) {
            EXPECT_EQ(0u, GetDllDirectoryW(MAX_PATH, text));
            EXPECT_EQ(L'\0', text[0]);
            if (load.directory && underWine())
                continue; // Wine takes L"" for NULL
        }
        SetLastError(0);
        HMODULE module = LoadLibraryA(load.name);
        EXPECT_EQ(load.error == 0, module != nullptr) << load.name;
        if (!module) {
            EXPECT_EQ(load.error, GetLastError()) << load.name;
            continue;
        }
        EXPECT_EQ(42, callAnswer(module)) << load.name;
        FreeLibrary(module);
    }
}

} // namespace
