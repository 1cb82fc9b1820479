#include <windows.h>
#include <io.h>

#include "TempDir.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace fs = std::filesystem;

namespace {

const char kLibrary[] = "winport_testlib.dll";
const char kAnswer[] = "winport_testlib_answer";

std::string backslashed(std::string path)
{
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string moduleFileName(HMODULE module)
{
    char name[MAX_PATH] = {};
    EXPECT_GT(GetModuleFileNameA(module, name, MAX_PATH), 0u);
    return name;
}

int callAnswer(HMODULE module)
{
    using Answer = int (*)();
    using AnyFunction = void (*)();
    const auto answer =
        reinterpret_cast<Answer>(reinterpret_cast<AnyFunction>(GetProcAddress(module, kAnswer)));
    return answer ? answer() : -1;
}

bool isLoaded(const std::string& path)
{
    HMODULE module = nullptr;
    return GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, path.c_str(),
                              &module) != FALSE;
}

class Loader : public ::testing::Test
{
protected:
    void TearDown() override { SetDllDirectoryW(nullptr); }

    // A copy of the test library in the temporary folder, under `name`.
    std::string copyLibrary(const std::string& name)
    {
        const fs::path target = fs::path(dir.path()) / fs::path(name).make_preferred();
        fs::create_directories(target.parent_path());
        fs::copy_file(library, target);
        return target.string();
    }

    const std::string library = (fs::path(TestPaths::executableFolder()) / kLibrary).string();
    TempDir dir;
};

TEST_F(Loader, EverySpellingOfOnePathIsOneModule)
{
    const fs::path folder = TestPaths::executableFolder();
    const std::string viaParent = (folder / ".." / folder.filename() / kLibrary).string();
    HMODULE byBackslash = LoadLibraryA(backslashed(library).c_str());
    HMODULE bySlash = LoadLibraryA(library.c_str());
    HMODULE byDotDot = LoadLibraryA(backslashed(viaParent).c_str());
    ASSERT_NE(nullptr, byBackslash);
    EXPECT_EQ(byBackslash, bySlash);
    EXPECT_EQ(byBackslash, byDotDot);
    EXPECT_EQ(42, callAnswer(byBackslash));
    EXPECT_EQ(TestPaths::asModulePath(library), moduleFileName(byDotDot));
    for (HMODULE module : {byBackslash, bySlash, byDotDot})
        EXPECT_TRUE(FreeLibrary(module));
}

TEST_F(Loader, ACaseChangedNameIsTheSameModuleNamedAsFirstLoaded)
{
    const std::string copy = copyLibrary("Sub/CaseLib.dll");
    const std::string typed = dir.path() + "\\SUB\\caselib.DLL";
    HMODULE byOtherCase = LoadLibraryA(typed.c_str());
    ASSERT_NE(nullptr, byOtherCase) << GetLastError();
    HMODULE exact = LoadLibraryA(copy.c_str());
    EXPECT_EQ(byOtherCase, exact);
    EXPECT_EQ(TestPaths::asModulePath(dir.path()) + "\\SUB\\caselib.DLL", moduleFileName(exact));
    EXPECT_TRUE(FreeLibrary(exact));
    EXPECT_TRUE(FreeLibrary(byOtherCase));
}

TEST_F(Loader, FailuresCarryWindowsCodes)
{
    std::ofstream(dir.file("text.dll")) << "This is not a library.\n";

    SetLastError(0);
    EXPECT_EQ(nullptr, LoadLibraryA(dir.file("missing.dll").c_str()));
    EXPECT_EQ(ERROR_MOD_NOT_FOUND, GetLastError());
    SetLastError(0);
    EXPECT_EQ(nullptr, LoadLibraryA(dir.file("text.dll").c_str()));
    EXPECT_EQ(ERROR_BAD_EXE_FORMAT, GetLastError());

    HMODULE module = LoadLibraryA(library.c_str());
    ASSERT_NE(nullptr, module);
    // Not found: a name it lacks, and what only the C library it uses exports.
    for (LPCSTR name : {"winport_testlib_nothing", "malloc"}) {
        SetLastError(0);
        EXPECT_EQ(nullptr, GetProcAddress(module, name));
        EXPECT_EQ(ERROR_PROC_NOT_FOUND, GetLastError());
    }
    EXPECT_TRUE(FreeLibrary(module));
}

TEST_F(Loader, AnAddressLeadsToItsModuleAndFileName)
{
    HMODULE module = LoadLibraryA(library.c_str());
    ASSERT_NE(nullptr, module);
    HMODULE found = nullptr;
    ASSERT_TRUE(GetModuleHandleExA(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCSTR>(GetProcAddress(module, kAnswer)), &found));
    EXPECT_EQ(module, found);
    EXPECT_EQ(TestPaths::asModulePath(library), moduleFileName(found));
    EXPECT_TRUE(FreeLibrary(module));

    HMODULE program = nullptr;
    HMODULE ofThisCode = nullptr;
    ASSERT_TRUE(
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, nullptr, &program));
    ASSERT_TRUE(GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                       GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                   reinterpret_cast<LPCSTR>(&moduleFileName), &ofThisCode));
    EXPECT_EQ(program, ofThisCode);
    const std::string executable = moduleFileName(nullptr);
    EXPECT_EQ(executable, moduleFileName(program));
    EXPECT_EQ(':', executable[1]);
    EXPECT_EQ(std::string::npos, executable.find('/'));
    EXPECT_EQ(0, _access(executable.c_str(), 0));

    // A null address names the program, as a null name does.
    ASSERT_TRUE(GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                       GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                   nullptr, &found));
    EXPECT_EQ(program, found);

    const auto heap = std::make_unique<int>(0);
    SetLastError(0);
    EXPECT_FALSE(GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                                    reinterpret_cast<LPCSTR>(heap.get()), &found));
    EXPECT_EQ(nullptr, found);
    EXPECT_EQ(ERROR_MOD_NOT_FOUND, GetLastError());
}

TEST_F(Loader, ModuleFileNameTruncatesLikeWindows)
{
    const std::string full = moduleFileName(nullptr);
    const DWORD length = static_cast<DWORD>(full.size());
    char name[MAX_PATH];

    EXPECT_EQ(length, GetModuleFileNameA(nullptr, name, length + 1));
    EXPECT_EQ(full, name);

    // Windows terminates the cut name within the buffer; Wine, as Windows XP
    // did, fills the buffer without one. Only the characters are compared.
    SetLastError(0);
    EXPECT_EQ(length, GetModuleFileNameA(nullptr, name, length));
    EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());
    EXPECT_EQ(full.substr(0, length - 1), std::string(name, length - 1));

    SetLastError(0);
    EXPECT_EQ(5u, GetModuleFileNameA(nullptr, name, 5));
    EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());
    EXPECT_EQ(full.substr(0, 4), std::string(name, 4));
}

TEST_F(Loader, EachReferenceIsFreedOnce)
{
    const std::string copy = copyLibrary("Counted.dll");
    HMODULE first = LoadLibraryA(copy.c_str());
    HMODULE second = LoadLibraryA(copy.c_str());
    HMODULE third = nullptr;
    ASSERT_TRUE(GetModuleHandleExA(0, copy.c_str(), &third));
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(first, second);
    EXPECT_EQ(first, third);

    EXPECT_TRUE(FreeLibrary(first));
    EXPECT_TRUE(FreeLibrary(second));
    EXPECT_TRUE(isLoaded(copy));
    EXPECT_EQ(42, callAnswer(first));
    EXPECT_TRUE(FreeLibrary(third));
    EXPECT_FALSE(isLoaded(copy));
}

TEST_F(Loader, TheDllDirectoryIsProcessStateThatBareNamesAreSoughtIn)
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
    ASSERT_TRUE(SetDllDirectoryW(L""));
    EXPECT_EQ(0u, GetDllDirectoryW(MAX_PATH, text));

    copyLibrary("Searched.dll");
    SetLastError(0);
    EXPECT_EQ(nullptr, LoadLibraryA("Searched.dll"));
    EXPECT_EQ(ERROR_MOD_NOT_FOUND, GetLastError());

    const std::wstring folder = fs::path(dir.path()).wstring();
    ASSERT_TRUE(SetDllDirectoryW(folder.c_str()));
    HMODULE module = LoadLibraryA("Searched");
    ASSERT_NE(nullptr, module);
    EXPECT_EQ(42, callAnswer(module));
    EXPECT_TRUE(FreeLibrary(module));
}

} // namespace
