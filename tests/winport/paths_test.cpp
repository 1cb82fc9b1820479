#include "TempDir.h"

#include <windows.h>
#include <io.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>
#include <utility>

namespace {

// Only '\' separates here: a '/', a doubled '\' and a "." that ends the path stay.
const std::pair<const char*, const char*> kCanonical[] = {
    {"C:\\a\\.\\b\\..\\c", "C:\\a\\c"},
    {"C:\\a\\b\\..", "C:\\a"},
    {"C:\\a\\b\\", "C:\\a\\b\\"},
    {"C:\\..\\x", "C:\\x"},
    {"C:\\..", "C:\\"},
    {"C:", "C:\\"},
    {"", "\\"},
    {"\\a\\..\\..\\b", "\\b"},
    {"..\\a\\b", "..\\a\\b"},
    {"..\\..\\a", "\\a"},
    {".\\a\\.\\.\\b\\.\\", "a\\b\\"},
    {"C:..\\a", "C:..\\a"},
    {"C:/a/../b", "C:/a/../b"},
    {"C:\\a\\\\b\\.", "C:\\a\\\\b\\."},
    {"\\\\srv\\share\\..\\x", "\\\\srv\\x"},
    {"Z:\\Suite\\Bin\\..\\Module\\1\\", "Z:\\Suite\\Module\\1\\"},
};

TEST(Paths, CanonicalizeReadsTheTextAsWindowsDoes)
{
    char buffer[MAX_PATH];
    for (const auto& [path, expected] : kCanonical) {
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_TRUE(PathCanonicalizeA(buffer, path)) << path;
        EXPECT_STREQ(expected, buffer) << path;
    }
    SetLastError(0);
    EXPECT_FALSE(PathCanonicalizeA(buffer, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
    EXPECT_STREQ("", buffer);
    // MAX_PATH with the terminator, no more. Past it Windows (206) and Wine
    // (122) give different codes: only the refusal counts.
    std::string path = "C:\\" + std::string(MAX_PATH - 4, 'a');
    EXPECT_TRUE(PathCanonicalizeA(buffer, path.c_str()));
    EXPECT_FALSE(PathCanonicalizeA(buffer, (path + 'a').c_str()));
    EXPECT_STREQ("", buffer);
}

// A file name in any spelling Windows accepts: either separator, other case,
// ".." over a folder that does not exist.
TEST(Paths, TheRuntimeFindsAFileHoweverItsNameIsSpelt)
{
    TempDir dir;
    std::ofstream(dir.file("Data.bin"), std::ios::binary) << std::string(1234, 'd');
    std::string slashed = dir.path();
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    std::string backslashed = dir.path();
    std::replace(backslashed.begin(), backslashed.end(), '/', '\\');
    const std::pair<std::string, int> names[] = {{slashed + "/Data.bin", 0},
                                                 {backslashed + "\\dATA.BIN", 0},
                                                 {backslashed + "\\no\\..\\Data.bin", 0},
                                                 {backslashed, 0},
                                                 {backslashed + "\\Missing.bin", -1}};
    for (const auto& [name, result] : names) {
        EXPECT_EQ(result, _access(name.c_str(), 6)) << name;
        EXPECT_EQ(result ? ENOENT : errno, errno) << name;
    }
    struct _stat32 status;
    EXPECT_EQ(0, _stat32((backslashed + "\\no\\..\\DATA.bin").c_str(), &status));
    EXPECT_EQ(1234, status.st_size);
}

} // namespace
