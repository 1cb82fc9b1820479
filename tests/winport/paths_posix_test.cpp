// winport's own reading of Windows paths on POSIX: the '/' separator, the "Z:"
// root and the case-insensitive lookup that every path-taking call shares.
#include <windows.h>
#include <shlwapi.h>

#include "TempDir.h"
#include <winport/paths/PosixPath.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

TEST(PathCanonicalizePosix, TakesForwardSlashesAndAnswersWithBackslashes)
{
    char buffer[MAX_PATH];
    ASSERT_TRUE(PathCanonicalizeA(buffer, "a/b/../../.."));
    EXPECT_STREQ("\\", buffer);
    ASSERT_TRUE(PathCanonicalizeA(buffer, "/work/bin/../qor\\x64\\qorcore.dll"));
    EXPECT_STREQ("\\work\\qor\\x64\\qorcore.dll", buffer);

    char spec[MAX_PATH] = "/work/bin/test";
    EXPECT_TRUE(PathRemoveFileSpecA(spec));
    EXPECT_STREQ("/work/bin", spec);
}

TEST(PosixPath, MapsRootsAndRefusesWhatHasNoPlaceHere)
{
    std::string posix;
    ASSERT_TRUE(winport::toPosixPath("Z:\\usr\\.\\lib\\..\\bin", posix));
    EXPECT_EQ("/usr/bin", posix);
    ASSERT_TRUE(winport::toPosixPath("\\usr/bin\\", posix));
    EXPECT_EQ("/usr/bin", posix);
    ASSERT_TRUE(winport::toPosixPath("z:/..", posix));
    EXPECT_EQ("/", posix);

    EXPECT_FALSE(winport::toPosixPath("C:\\Windows", posix));
    EXPECT_FALSE(winport::toPosixPath("\\\\server\\share\\x", posix));
    EXPECT_FALSE(winport::toPosixPath("", posix));
    EXPECT_FALSE(winport::toPosixPath(nullptr, posix));

    EXPECT_EQ("Z:\\usr\\bin", winport::toWindowsPath("/usr/bin"));
}

TEST(PosixPath, RelativePathsStartAtTheCurrentFolder)
{
    TempDir dir;
    const fs::path previous = fs::current_path();
    fs::current_path(dir.path());
    std::string relative;
    std::string driveRelative;
    const bool ok =
        winport::toPosixPath("a\\..\\b\\c", relative) && winport::toPosixPath("Z:c", driveRelative);
    fs::current_path(previous);

    const std::string here = fs::canonical(dir.path()).string();
    ASSERT_TRUE(ok);
    EXPECT_EQ(here + "/b/c", relative);
    EXPECT_EQ(here + "/c", driveRelative);
}

class PosixPathCase : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directory(dir.file("Sub"));
        std::ofstream(dir.file("Sub/Lib.dll")) << "x";
        std::ofstream(dir.file("Sub/a.txt")) << "lower";
        std::ofstream(dir.file("Sub/A.txt")) << "upper";
    }

    std::string resolve(const std::string& relative)
    {
        std::string posix;
        EXPECT_TRUE(winport::toPosixPath((dir.path() + "\\" + relative).c_str(), posix));
        return posix;
    }

    TempDir dir;
};

TEST_F(PosixPathCase, MatchesComponentsIgnoringCaseButPrefersTheExactName)
{
    EXPECT_EQ(dir.file("Sub/Lib.dll"), resolve("sub\\LIB.DLL"));
    EXPECT_EQ(dir.file("Sub/Lib.dll"), resolve("SUB\\nowhere\\..\\lib.dll"));
    EXPECT_EQ(dir.file("Sub/a.txt"), resolve("Sub\\a.txt"));
    EXPECT_EQ(dir.file("Sub/A.txt"), resolve("Sub\\A.txt"));
    // Of two case-variants, the first in byte order ('A' < 'a').
    EXPECT_EQ(dir.file("Sub/A.txt"), resolve("sub\\A.TXT"));
    // Past the first component that matches nothing, the rest stays as written.
    EXPECT_EQ(dir.file("Sub/Missing/File.TXT"), resolve("SUB\\Missing\\File.TXT"));
}

} // namespace
