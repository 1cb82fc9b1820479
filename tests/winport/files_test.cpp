#include "ChildProcess.h"
#include "FileWriters.h"
#include "TempDir.h"

#include <windows.h>
#include <io.h>
#include <fcntl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <thread>

class Files : public ::testing::Test
{
protected:
    // The handle's last error, or the failure's; the handle is closed.
    DWORD openError(const std::string& path, DWORD disposition)
    {
        HANDLE file = openFile(path, disposition);
        const DWORD error = GetLastError();
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        return error;
    }

    TempDir dir;
    std::string existing = dir.file("existing.txt");
    std::string missing = dir.file("missing.txt");
};

TEST_F(Files, dispositionsGiveWindowsResultsAndLastErrors)
{
    writeAll(existing, "old");
    EXPECT_EQ(openError(missing, OPEN_EXISTING), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(openError(dir.file("no\\such\\folder.txt"), OPEN_ALWAYS), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(openError(dir.path(), OPEN_EXISTING), ERROR_ACCESS_DENIED) << "a folder";
    EXPECT_EQ(openError(missing, TRUNCATE_EXISTING), ERROR_FILE_NOT_FOUND);

    EXPECT_EQ(openError(existing, OPEN_ALWAYS), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(readAll(existing), "old");
    EXPECT_EQ(openError(existing, CREATE_NEW), ERROR_FILE_EXISTS);
    EXPECT_EQ(openError(existing, CREATE_ALWAYS), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(readAll(existing), "");

    EXPECT_EQ(openError(missing, OPEN_ALWAYS), ERROR_SUCCESS);
    EXPECT_EQ(openError(dir.file("fresh.txt"), CREATE_ALWAYS), ERROR_SUCCESS);
    EXPECT_EQ(openError(dir.file("new.txt"), CREATE_NEW), ERROR_SUCCESS);
    writeAll(existing, "old");
    EXPECT_EQ(openError(existing, TRUNCATE_EXISTING), ERROR_SUCCESS);
    EXPECT_EQ(readAll(existing), "");
}

TEST_F(Files, securityDescriptorWithNullDaclOpensAFile)
{
    SECURITY_DESCRIPTOR descriptor;
    EXPECT_FALSE(InitializeSecurityDescriptor(&descriptor, 2));
    EXPECT_EQ(GetLastError(), ERROR_UNKNOWN_REVISION);
    ASSERT_TRUE(InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION));
    ASSERT_TRUE(SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE));
    SECURITY_ATTRIBUTES attributes{sizeof attributes, &descriptor, TRUE};
    EXPECT_EQ(sizeof attributes, 24u);
    HANDLE file = CreateFileA(missing.c_str(), GENERIC_READ | GENERIC_WRITE, 0, &attributes,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, "12345", 5, &written, nullptr));
    EXPECT_EQ(written, 5u);
    DWORD high = 7;
    EXPECT_EQ(GetFileSize(file, &high), 5u);
    EXPECT_EQ(high, 0u);
    EXPECT_TRUE(CloseHandle(file));
}

TEST_F(Files, appendTextCommitStreamWritesCrLfAfterWhatOthersAppended)
{
    FILE* stream = openStream(existing, OPEN_ALWAYS, _O_TEXT | _O_APPEND, "atc");
    ASSERT_NE(stream, nullptr);
    writeLine(stream, "one\n");
    std::ofstream(existing, std::ios::binary | std::ios::app) << "OTHER";
    writeLine(stream, "two\nthree\r\n");
    EXPECT_EQ(ftell(stream), 23) << "the end of the file, others' bytes included";
    EXPECT_EQ(fclose(stream), 0);
    EXPECT_EQ(readAll(existing), "one\r\nOTHERtwo\r\nthree\r\r\n");
}

TEST_F(Files, writeTextStreamOnCreateAlwaysReplacesTheContent)
{
    writeAll(existing, "a much longer old content\r\n");
    FILE* stream = openStream(existing, CREATE_ALWAYS, _O_TEXT | _O_TRUNC, "wtc");
    ASSERT_NE(stream, nullptr);
    writeLine(stream, "new\n");
    EXPECT_EQ(fclose(stream), 0);
    EXPECT_EQ(readAll(existing), "new\r\n");

    stream = openStream(existing, OPEN_EXISTING, _O_BINARY | _O_APPEND, "ab");
    ASSERT_NE(stream, nullptr);
    writeLine(stream, "raw\n");
    EXPECT_EQ(fclose(stream), 0);
    EXPECT_EQ(readAll(existing), "new\r\nraw\n");

    stream = openStream(existing, OPEN_EXISTING, _O_BINARY, "ab");
    ASSERT_NE(stream, nullptr);
    writeLine(stream, "N");
    EXPECT_EQ(fclose(stream), 0);
    EXPECT_EQ(readAll(existing), "New\r\nraw\n") << "only _O_APPEND appends, not the mode";
}

TEST_F(Files, theDescriptorOwnsTheHandleUntilTheStreamCloses)
{
    HANDLE file = openFile(existing, OPEN_ALWAYS);
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_TEXT | _O_APPEND);
    ASSERT_NE(fd, -1);
    EXPECT_EQ(_get_osfhandle(fd), reinterpret_cast<intptr_t>(file));
    FILE* stream = _fdopen(fd, "atc");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(_fileno(stream), fd);
    EXPECT_TRUE(lockRange(file, kTryExclusive, 0, 1))
        << "the handle works while the stream is open";
    EXPECT_TRUE(unlockRange(file, 0, 1));
    EXPECT_EQ(fclose(stream), 0);

    EXPECT_FALSE(CloseHandle(file)) << "fclose closed it";
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(_get_osfhandle(fd), -1);
    EXPECT_EQ(_open_osfhandle(reinterpret_cast<intptr_t>(file), 0), -1);
    EXPECT_EQ(_fdopen(fd, "qq"), nullptr);
}

TEST_F(Files, longLinesOfTwoThreadsUnderLocksStayWholeAndDoubleTheirNewlines)
{
    expectWholeLongLinesFromTwoThreads(dir, true);
}

TEST_F(Files, byteRangeLocksConflictBetweenHandles)
{
    writeAll(existing, "");
    HANDLE first = openFile(existing, OPEN_EXISTING);
    HANDLE second = openFile(existing, OPEN_EXISTING);
    ASSERT_TRUE(lockRange(first, kTryExclusive, 0, 10));
    EXPECT_FALSE(lockRange(second, kTryExclusive, 5, 10));
    EXPECT_EQ(GetLastError(), ERROR_LOCK_VIOLATION);
    EXPECT_FALSE(lockRange(second, LOCKFILE_FAIL_IMMEDIATELY, 9, 1)) << "shared over exclusive";
    EXPECT_FALSE(lockRange(first, kTryExclusive, 2, 2)) << "a handle conflicts with itself";
    EXPECT_TRUE(lockRange(second, kTryExclusive, 10, 10)) << "the next bytes are free";

    EXPECT_FALSE(unlockRange(first, 0, 5)) << "only the range as locked unlocks";
    EXPECT_FALSE(lockRange(second, kTryExclusive, 0, 1)) << "still locked";
    EXPECT_TRUE(unlockRange(first, 0, 10));
    EXPECT_TRUE(lockRange(first, LOCKFILE_FAIL_IMMEDIATELY, 0, 10));
    EXPECT_TRUE(lockRange(second, LOCKFILE_FAIL_IMMEDIATELY, 0, 10)) << "shared with shared";

    EXPECT_FALSE(lockRange(INVALID_HANDLE_VALUE, kTryExclusive, 0, 1));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    CloseHandle(first);
    CloseHandle(second);
}

TEST_F(Files, aWaitingLockIsGrantedWhenTheHolderUnlocks)
{
    HANDLE first = openFile(existing, OPEN_ALWAYS);
    HANDLE second = openFile(existing, OPEN_ALWAYS);
    ASSERT_TRUE(lockRange(first, kTryExclusive, 0, MAXDWORD));
    std::atomic<bool> granted{false};
    std::thread waiter(
        [&] { granted = lockRange(second, LOCKFILE_EXCLUSIVE_LOCK, 100, 1) != FALSE; });
    Sleep(100);
    EXPECT_FALSE(granted);
    EXPECT_TRUE(unlockRange(first, 0, MAXDWORD));
    waiter.join();
    EXPECT_TRUE(granted);
    CloseHandle(first);
    CloseHandle(second);
}

TEST_F(Files, twoProcessesAppendingUnderLocksKeepEveryLine)
{
    expectWholeLinesFromTwoProcesses(dir, "1");
}

// Child mode: holds an exclusive lock on bytes 0..99 of ZUB_FILE, says so
// with the file ZUB_READY, and keeps it until killed.
TEST(FilesChild, DISABLED_holdLock)
{
    HANDLE file = openFile(std::getenv("ZUB_FILE"), OPEN_ALWAYS);
    ASSERT_TRUE(lockRange(file, kTryExclusive, 0, 100));
    writeAll(std::getenv("ZUB_READY"), "x");
    Sleep(60000);
}

TEST_F(Files, aLockHeldByAnotherProcessConflictsUntilItDies)
{
    ChildProcess child(ChildProcess::selfPath(),
                       ChildProcess::testArguments("FilesChild.DISABLED_holdLock"),
                       {{"ZUB_FILE", existing}, {"ZUB_READY", dir.file("ready")}});
    ASSERT_TRUE(
        ChildProcess::waitUntil([&] { return std::ifstream(dir.file("ready")).good(); }, 20000));
    HANDLE file = openFile(existing, OPEN_EXISTING);
    EXPECT_FALSE(lockRange(file, kTryExclusive, 99, 1));
    EXPECT_EQ(GetLastError(), ERROR_LOCK_VIOLATION);
    child.kill();
    EXPECT_EQ(child.wait(20000), ChildProcess::kKilledExitCode);
    EXPECT_TRUE(lockRange(file, kTryExclusive, 99, 1));
    CloseHandle(file);
}
