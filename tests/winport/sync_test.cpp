#include "ChildProcess.h"
#include "TempDir.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <thread>
#include <vector>

namespace {

std::string uniqueEventName()
{
    static std::atomic<int> counter{0};
    return "zubtest.event." + std::to_string(GetCurrentProcessId()) + "." +
           std::to_string(counter++);
}

bool fileExists(const std::string& path)
{
    return std::ifstream(path).good();
}

void touch(const std::string& path)
{
    std::ofstream(path) << "x";
}

// The last error a fresh CreateEventA of `name` sees; the handle is closed.
DWORD probeEvent(const std::string& name)
{
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, name.c_str());
    const DWORD error = GetLastError();
    EXPECT_NE(event, nullptr);
    CloseHandle(event);
    return error;
}

} // namespace

TEST(CriticalSection, isRecursiveAndExcludesOtherThreadsUntilFullyLeft)
{
    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    EnterCriticalSection(&section);
    EnterCriticalSection(&section);
    std::atomic<bool> otherEntered{false};
    std::thread other([&] {
        EnterCriticalSection(&section);
        otherEntered = true;
        LeaveCriticalSection(&section);
    });
    LeaveCriticalSection(&section);
    Sleep(50);
    EXPECT_FALSE(otherEntered) << "entered while the owner still held one level";
    LeaveCriticalSection(&section);
    other.join();
    EXPECT_TRUE(otherEntered);
    DeleteCriticalSection(&section);
}

TEST(Interlocked, countsFromManyThreadsAndSwapsOnlyOnMatch)
{
    LONG volatile counter = 0;
    LONG volatile winners = 0;
    PVOID volatile owner = nullptr;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 20000; ++i) {
                InterlockedIncrement(&counter);
                InterlockedIncrement(&counter);
                InterlockedDecrement(&counter);
            }
            static int tokens[4];
            if (InterlockedCompareExchangePointer(&owner, &tokens[t], nullptr) == nullptr)
                InterlockedIncrement(&winners);
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(counter, 4 * 20000);
    EXPECT_EQ(winners, 1);

    LONG volatile value = 5;
    EXPECT_EQ(InterlockedCompareExchange(&value, 9, 4), 5);
    EXPECT_EQ(value, 5);
    EXPECT_EQ(InterlockedCompareExchange(&value, 9, 5), 5);
    EXPECT_EQ(InterlockedExchange(&value, 2), 9);
    EXPECT_EQ(value, 2);
}

TEST(Events, aNameExistsWhileAnyHandleToItIsOpen)
{
    const std::string name = uniqueEventName();
    HANDLE first = CreateEventA(nullptr, FALSE, FALSE, name.c_str());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    HANDLE second = CreateEventA(nullptr, TRUE, TRUE, name.c_str());
    ASSERT_NE(second, nullptr) << "an existing name still gives a handle";
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);

    EXPECT_TRUE(CloseHandle(first));
    std::thread([&] {
        EXPECT_EQ(probeEvent(name), ERROR_ALREADY_EXISTS) << "the second handle still holds it";
    }).join();
    EXPECT_TRUE(CloseHandle(second));
    EXPECT_EQ(probeEvent(name), ERROR_SUCCESS);

    EXPECT_FALSE(CloseHandle(second));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(Events, unnamedEventsAreDistinct)
{
    HANDLE a = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE b = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_TRUE(CloseHandle(a));
    EXPECT_TRUE(CloseHandle(b));
}

TEST(Events, aHeldNameStaysTakenWhileOtherThreadsOpenAndCloseIt)
{
    const std::string name = uniqueEventName();
    std::atomic<bool> done{false};
    std::vector<std::thread> churners;
    for (int t = 0; t < 2; ++t) {
        churners.emplace_back([&] {
            while (!done)
                CloseHandle(CreateEventA(nullptr, FALSE, FALSE, name.c_str()));
        });
    }
    int violations = 0;
    for (int i = 0; i < 3000; ++i) {
        HANDLE held = CreateEventA(nullptr, FALSE, FALSE, name.c_str());
        HANDLE probe = CreateEventA(nullptr, FALSE, FALSE, name.c_str());
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            ++violations;
        CloseHandle(probe);
        CloseHandle(held);
    }
    done = true;
    for (std::thread& thread : churners)
        thread.join();
    EXPECT_EQ(violations, 0);
}

// Child mode: holds the event ZUB_EVENT_NAME, says so by creating the file
// ZUB_READY, and keeps it until the file ZUB_RELEASE appears (or it is killed).
TEST(Events, DISABLED_holdEventInChild)
{
    const char* name = std::getenv("ZUB_EVENT_NAME");
    ASSERT_NE(name, nullptr);
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, name);
    ASSERT_NE(event, nullptr);
    ASSERT_EQ(GetLastError(), ERROR_SUCCESS);
    touch(std::getenv("ZUB_READY"));
    ASSERT_TRUE(
        ChildProcess::waitUntil([] { return fileExists(std::getenv("ZUB_RELEASE")); }, 60000));
    EXPECT_TRUE(CloseHandle(event));
}

class EventsAcrossProcesses : public ::testing::Test
{
protected:
    std::unique_ptr<ChildProcess> startHolder()
    {
        auto child = std::make_unique<ChildProcess>(
            ChildProcess::selfPath(),
            ChildProcess::testArguments("Events.DISABLED_holdEventInChild"),
            ChildProcess::Environment{{"ZUB_EVENT_NAME", name},
                                      {"ZUB_READY", dir.file("ready")},
                                      {"ZUB_RELEASE", dir.file("release")}});
        EXPECT_TRUE(child->started());
        EXPECT_TRUE(ChildProcess::waitUntil([&] { return fileExists(dir.file("ready")); }, 20000));
        return child;
    }

    TempDir dir;
    std::string name = uniqueEventName();
};

TEST_F(EventsAcrossProcesses, existsWhileTheOtherProcessHoldsItUntilItCloses)
{
    auto child = startHolder();
    EXPECT_EQ(probeEvent(name), ERROR_ALREADY_EXISTS);
    touch(dir.file("release"));
    EXPECT_EQ(child->wait(20000), 0);
    EXPECT_EQ(probeEvent(name), ERROR_SUCCESS);
}

TEST_F(EventsAcrossProcesses, endsWhenTheHoldingProcessDies)
{
    auto child = startHolder();
    EXPECT_EQ(probeEvent(name), ERROR_ALREADY_EXISTS);
    child->kill();
    EXPECT_EQ(child->wait(20000), ChildProcess::kKilledExitCode);
    EXPECT_EQ(probeEvent(name), ERROR_SUCCESS);
}
