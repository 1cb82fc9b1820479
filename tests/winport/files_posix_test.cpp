// What only the POSIX build promises: an append descriptor lands every line
// whole without any lock, a null DACL means a file for every user, and
// permissions that refuse a new file read as access denied.
#include "FileWriters.h"
#include "TempDir.h"

#include <windows.h>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

// One fwrite and one fflush of the longest client log line make one write(2).
TEST(FilesPosix, longLinesOfTwoThreadsWithoutLocksStayWhole)
{
    TempDir dir;
    expectWholeLongLinesFromTwoThreads(dir, false);
}

TEST(FilesPosix, twoProcessesAppendingWithoutLocksKeepEveryLine)
{
    TempDir dir;
    expectWholeLinesFromTwoProcesses(dir, "0");
}

TEST(FilesPosix, aNullDaclMakesTheFileWritableForEveryone)
{
    TempDir dir;
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, &descriptor, TRUE};
    const std::string path = dir.file("log.txt");
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, &attributes, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666u);
}

TEST(FilesPosix, anUnwritableFolderGivesAccessDenied)
{
    TempDir dir;
    const std::string folder = dir.file("readonly");
    ASSERT_EQ(mkdir(folder.c_str(), 0555), 0);
    // Permission bits do not stop root; sysfs refuses new files to anybody.
    const std::string path = geteuid() == 0 ? "/sys/zubtest.txt" : folder + "/log.txt";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_EQ(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}
