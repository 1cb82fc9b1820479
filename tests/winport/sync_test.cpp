#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

TEST(Events, aHeldNameStaysTakenWhileOtherThreadsOpenAndCloseIt)
{
    const std::string name = "zubtest.churn." + std::to_string(GetCurrentProcessId());
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
