// winport's own ways out for debugger output, and the kernel's thread ids.
#include "DebugCapture.h"
#include "TempDir.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include <sys/stat.h>

namespace {

class DebugOutputVariable : public ::testing::Test
{
protected:
    void TearDown() override { unsetenv("WINPORT_DEBUG_OUTPUT"); }
};

} // namespace

TEST_F(DebugOutputVariable, appendsToTheNamedFileOrWritesToStandardError)
{
    TempDir dir;
    const std::string path = dir.file("debug.txt");
    std::ofstream(path) << "kept\n";
    setenv("WINPORT_DEBUG_OUTPUT", path.c_str(), 1);
    OutputDebugStringA("first\n");
    OutputDebugStringA("second\n");
    std::ifstream in(path);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "kept\nfirst\nsecond\n");

    setenv("WINPORT_DEBUG_OUTPUT", "stderr", 1);
    ::testing::internal::CaptureStderr();
    OutputDebugStringA("to the terminal\n");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "to the terminal\n");
}

TEST(ThreadIds, areTheKernelsTaskIds)
{
    DWORD id = 0;
    std::thread([&] { id = GetCurrentThreadId(); }).join();
    struct stat st;
    EXPECT_EQ(stat(("/proc/self/task/" + std::to_string(GetCurrentThreadId())).c_str(), &st), 0);
    EXPECT_NE(id, GetCurrentThreadId());
    EXPECT_NE(id, GetCurrentProcessId());
}
