#include "TempDir.h"

#include <windows.h>
#include <io.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>

namespace {

struct TextCase
{
    const char* input;
    const char* expected;
    BOOL result;
};

// Only '\' separates here: a '/', a doubled '\' and a "." that ends the path stay.
const TextCase kCanonical[] = {
    {"C:\\a\\.\\b\\..\\c", "C:\\a\\c", TRUE},  {"C:\\a\\b\\..", "C:\\a", TRUE},
    {"C:\\a\\b\\", "C:\\a\\b\\", TRUE},        {"C:\\..\\x", "C:\\x", TRUE},
    {"C:\\..", "C:\\", TRUE},                  {"C:", "C:\\", TRUE},
    {"", "\\", TRUE},                          {"\\a\\..\\..\\b", "\\b", TRUE},
    {"..\\a\\b", "..\\a\\b", TRUE},            {"..\\..\\a", "\\a", TRUE},
    {".\\a\\.\\.\\b\\.\\", "a\\b\\", TRUE},    {"C:..\\a", "C:..\\a", TRUE},
    {"C:/a/../b", "C:/a/../b", TRUE},          {"C:\\a\\\\b\\.", "C:\\a\\\\b\\.", TRUE},
    {"\\\\srv\\share\\..\\x", "\\\\srv\\x", TRUE},
    {"Z:\\Suite\\Bin\\..\\Module\\QualityControl\\1\\", "Z:\\Suite\\Module\\QualityControl\\1\\",
     TRUE},
};

// The root is never cut; what is left of a relative path may be nothing.
const TextCase kRemoveFileSpec[] = {
    {"C:\\a\\b.txt", "C:\\a", TRUE}, {"C:\\a", "C:\\", TRUE},   {"C:\\", "C:\\", FALSE},
    {"\\a", "\\", TRUE},             {"a", "", TRUE},           {"a\\b\\", "a\\b", TRUE},
    {"\\\\server\\share", "\\\\server", TRUE},
};

TEST(Paths, CanonicalizeAndRemoveFileSpecReadTheTextAsWindowsDoes)
{
    char buffer[MAX_PATH];
    for (const TextCase& c : kCanonical) {
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(c.result, PathCanonicalizeA(buffer, c.input)) << c.input;
        EXPECT_STREQ(c.expected, buffer) << c.input;
    }
    for (const TextCase& c : kRemoveFileSpec) {
        std::strcpy(buffer, c.input);
        EXPECT_EQ(c.result, PathRemoveFileSpecA(buffer)) << c.input;
        EXPECT_STREQ(c.expected, buffer) << c.input;
    }
    EXPECT_FALSE(PathRemoveFileSpecA(nullptr));
}

TEST(Paths, CanonicalizeRefusesNullAndPathsThatDoNotFitMaxPath)
{
    char buffer[MAX_PATH] = "stale";
    SetLastError(0);
    EXPECT_FALSE(PathCanonicalizeA(buffer, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
    EXPECT_STREQ("", buffer);

    std::string path = "C:\\" + std::string(MAX_PATH - 4, 'a');
    EXPECT_TRUE(PathCanonicalizeA(buffer, path.c_str()));
    EXPECT_EQ(path, buffer);
    // Windows' code (206) and Wine's (122) differ here: only the refusal counts.
    path += 'a';
    EXPECT_FALSE(PathCanonicalizeA(buffer, path.c_str()));
    EXPECT_STREQ("", buffer);
}

// A file name in any spelling Windows accepts: either separator, other case,
// ".." over a folder that does not exist.
TEST(Paths, TheRuntimeFindsAFileHoweverItsNameIsSpelt)
{
    TempDir dir;
    std::ofstream(dir.file("Data.bin"), std::ios::binary) << std::string(1234, 'd');
    std::string slashed = dir.path();
    std::string backslashed = dir.path();
    for (char& c : slashed)
        c = c == '\\' ? '/' : c;
    for (char& c : backslashed)
        c = c == '/' ? '\\' : c;
    const struct
    {
        std::string path;
        int mode;
        int result;
        int error;
    } cases[] = {
        {slashed + "/Data.bin", 0, 0, 0},          {backslashed + "\\dATA.BIN", 4, 0, 0},
        {backslashed + "\\no\\..\\Data.bin", 6, 0, 0}, {backslashed, 0, 0, 0},
        {backslashed + "\\Missing.bin", 0, -1, ENOENT},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.result, _access(c.path.c_str(), c.mode)) << c.path << " mode " << c.mode;
        if (c.result != 0) {
            EXPECT_EQ(c.error, errno) << c.path << " mode " << c.mode;
        }
    }
    struct _stat32 status;
    ASSERT_EQ(0, _stat32((backslashed + "\\no\\..\\DATA.bin").c_str(), &status));
    EXPECT_EQ(1234, status.st_size);
    EXPECT_EQ(_S_IFREG, status.st_mode & _S_IFMT);
    ASSERT_EQ(0, _stat32(slashed.c_str(), &status));
    EXPECT_EQ(_S_IFDIR, status.st_mode & _S_IFMT);
}

} // namespace
