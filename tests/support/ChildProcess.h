#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// A second real process: this test executable again, to run a "child mode"
// of it (a disabled test started by name with testArguments(), reading what
// it needs from the environment; gtest exits 0 when it passed), or another
// program, with extra environment variables. The child shares the parent's
// standard streams; one still running when its ChildProcess goes is killed
// and reaped. One thread at a time per object.
class ChildProcess
{
public:
    using Environment = std::vector<std::pair<std::string, std::string>>;

    // What wait() returns for a child ended by kill().
    static constexpr int kKilledExitCode = 137;

    ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                 const Environment& extraEnvironment = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const;
    // The exit code once the child has ended, nothing if it is still running
    // after timeoutMs. May be called again after a time-out.
    std::optional<int> wait(int timeoutMs);
    // Ends the child at once, as a crash would (no clean-up in the child).
    void kill();

    // The running test executable.
    static std::string selfPath();
    // Arguments that make a gtest executable run just `testName`
    // ("Suite.Name"), disabled or not.
    static std::vector<std::string> testArguments(const std::string& testName);
    // Stops this process for good while it keeps what it holds (handles,
    // locks), as a debugger's halt does: SIGSTOP here, and on Windows its
    // thread suspended. Its parent ends it with kill().
    static void freezeThisProcess();
    // Lets a child that froze itself go on.
    void resume();
    // Polls `condition` every few milliseconds; false if it is still false
    // after timeoutMs. For "the child is ready" signs such as a file.
    static bool waitUntil(const std::function<bool()>& condition, int timeoutMs);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
