#include <windows.h>
#include <io.h>
#include <shlwapi.h>
#include <sys/stat.h>

#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <fstream>
#include <string>

namespace {

struct PathCase
{
    const char* input;
    const char* expected;
};

std::string canonicalize(const char* path)
{
    char buffer[MAX_PATH];
    std::fill(std::begin(buffer), std::end(buffer), 'x');
    EXPECT_TRUE(PathCanonicalizeA(buffer, path)) << path;
    return buffer;
}

TEST(PathCanonicalize, ResolvesDotsOnTheTextLikeWindows)
{
    const PathCase cases[] = {
        {"C:\\a\\.\\b\\..\\c", "C:\\a\\c"},
        {"C:\\a\\b\\..", "C:\\a"},
        {"C:\\a\\b\\", "C:\\a\\b\\"},
        {"C:\\..\\x", "C:\\x"},
        {"C:\\..", "C:\\"},
        {"C:", "C:\\"},
        {"\\a\\..\\..\\b", "\\b"},
        {"..\\a\\b", "..\\a\\b"},
        {"a\\b\\..\\..\\..", "\\"},
        {"Z:\\Suite\\Bin\\..\\Module\\QualityControl\\1\\",
         "Z:\\Suite\\Module\\QualityControl\\1\\"},
        {"Z:\\Work\\Case.DLL", "Z:\\Work\\Case.DLL"},
    };
    for (const PathCase& c : cases)
        EXPECT_EQ(c.expected, canonicalize(c.input)) << "input " << c.input;
}

TEST(PathCanonicalize, RefusesMissingArgumentsAndOverlongPaths)
{
    char buffer[MAX_PATH] = "stale";
    SetLastError(0);
    EXPECT_FALSE(PathCanonicalizeA(buffer, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
    EXPECT_STREQ("", buffer);

    const std::string tooLong = "C:\\" + std::string(MAX_PATH, 'a');
    EXPECT_FALSE(PathCanonicalizeA(buffer, tooLong.c_str()));
    EXPECT_STREQ("", buffer);
}

TEST(PathRemoveFileSpec, CutsTheLastComponentButNeverTheRoot)
{
    struct RemoveCase
    {
        const char* input;
        const char* expected;
        BOOL changed;
    };
    const RemoveCase cases[] = {
        {"C:\\a\\b.txt", "C:\\a", TRUE},
        {"C:\\a", "C:\\", TRUE},
        {"C:\\", "C:\\", FALSE},
        {"\\a", "\\", TRUE},
        {"a", "", TRUE},
        {"a\\b\\", "a\\b", TRUE},
        {"\\\\server\\share", "\\\\server", TRUE},
    };
    for (const RemoveCase& c : cases) {
        char buffer[MAX_PATH];
        strcpy(buffer, c.input);
        EXPECT_EQ(c.changed, PathRemoveFileSpecA(buffer)) << "input " << c.input;
        EXPECT_STREQ(c.expected, buffer) << "input " << c.input;
    }
    EXPECT_FALSE(PathRemoveFileSpecA(nullptr));
}

// _access and _stat32 on real files: both separators, case-changed names and
// ".." over a folder that does not exist, as Windows resolves it on the text.
class CrtFileQueries : public ::testing::Test
{
protected:
    void SetUp() override
    {
        before = time(nullptr);
        std::ofstream(dir.file("Data.bin"), std::ios::binary) << std::string(1234, 'd');
        after = time(nullptr);
    }

    // The same path written with Windows separators only.
    static std::string backslashed(std::string path)
    {
        std::replace(path.begin(), path.end(), '/', '\\');
        return path;
    }

    TempDir dir;
    time_t before = 0;
    time_t after = 0;
};

TEST_F(CrtFileQueries, AccessFindsFilesHoweverTheyAreSpelt)
{
    EXPECT_EQ(0, _access(dir.file("Data.bin").c_str(), 0));
    EXPECT_EQ(0, _access(backslashed(dir.file("Data.bin")).c_str(), 0));
    EXPECT_EQ(0, _access(backslashed(dir.file("dATA.BIN")).c_str(), 4));
    EXPECT_EQ(0, _access(backslashed(dir.file("nowhere\\..\\Data.bin")).c_str(), 0));
    EXPECT_EQ(0, _access(dir.path().c_str(), 0));

    errno = 0;
    EXPECT_EQ(-1, _access(dir.file("Missing.bin").c_str(), 0));
    EXPECT_EQ(ENOENT, errno);
}

TEST_F(CrtFileQueries, Stat32ReportsSizeTimeAndKind)
{
    struct _stat32 st;
    ASSERT_EQ(0, _stat32(backslashed(dir.file("DATA.bin")).c_str(), &st));
    EXPECT_EQ(1234, st.st_size);
    EXPECT_EQ(_S_IFREG, st.st_mode & _S_IFMT);
    EXPECT_GE(st.st_mtime, before - 2);
    EXPECT_LE(st.st_mtime, after + 2);

    ASSERT_EQ(0, _stat32(dir.path().c_str(), &st));
    EXPECT_EQ(_S_IFDIR, st.st_mode & _S_IFMT);

    errno = 0;
    EXPECT_EQ(-1, _stat32(dir.file("Missing.bin").c_str(), &st));
    EXPECT_EQ(ENOENT, errno);
}

} // namespace
