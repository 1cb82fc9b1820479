#include "ChildProcess.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#ifdef _WIN32
#include <cctype>
#else
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace {

using Clock = std::chrono::steady_clock;

// NAME=value entries of the current environment, with `extra` set over them.
std::vector<std::string> mergedEnvironment(const std::vector<std::string>& current,
                                           const ChildProcess::Environment& extra)
{
    std::vector<std::string> merged;
    for (const std::string& entry : current) {
        const std::string name = entry.substr(0, entry.find('=', 1));
        const bool replaced = std::any_of(extra.begin(), extra.end(),
                                          [&](const auto& item) { return item.first == name; });
        if (!replaced)
            merged.push_back(entry);
    }
    for (const auto& [name, value] : extra)
        merged.push_back(name + "=" + value);
    return merged;
}

} // namespace

#ifdef _WIN32

struct ChildProcess::Impl
{
    PROCESS_INFORMATION process{};
    bool started = false;
    std::optional<int> exitCode;
};

namespace {

std::vector<std::string> currentEnvironment()
{
    std::vector<std::string> entries;
    LPCH block = GetEnvironmentStringsA();
    for (const char* p = block; *p != '\0'; p += std::strlen(p) + 1)
        entries.emplace_back(p);
    FreeEnvironmentStringsA(block);
    return entries;
}

// The quoting that the child's C runtime undoes (CommandLineToArgvW rules).
std::string quoted(const std::string& argument)
{
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos)
        return argument;
    std::string out = "\"";
    size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        out.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        out += c;
        backslashes = 0;
    }
    out.append(2 * backslashes, '\\');
    return out + "\"";
}

// Windows wants the block sorted by name, case-insensitively.
std::string environmentBlock(std::vector<std::string> entries)
{
    std::sort(entries.begin(), entries.end(), [](const std::string& a, const std::string& b) {
        return _stricmp(a.c_str(), b.c_str()) < 0;
    });
    std::string block;
    for (const std::string& entry : entries)
        block += entry + '\0';
    return block + '\0';
}

} // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const Environment& extraEnvironment)
    : m_impl(std::make_unique<Impl>())
{
    std::string commandLine = quoted(program);
    for (const std::string& argument : arguments)
        commandLine += " " + quoted(argument);
    std::string environment =
        environmentBlock(mergedEnvironment(currentEnvironment(), extraEnvironment));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    m_impl->started =
        CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                       environment.data(), nullptr, &startup, &m_impl->process) != FALSE;
}

ChildProcess::~ChildProcess()
{
    if (!m_impl->started)
        return;
    if (!m_impl->exitCode) {
        kill();
        WaitForSingleObject(m_impl->process.hProcess, INFINITE);
    }
    CloseHandle(m_impl->process.hThread);
    CloseHandle(m_impl->process.hProcess);
}

long ChildProcess::pid() const
{
    return static_cast<long>(m_impl->process.dwProcessId);
}

std::optional<int> ChildProcess::wait(int timeoutMs)
{
    if (m_impl->started && !m_impl->exitCode &&
        WaitForSingleObject(m_impl->process.hProcess, static_cast<DWORD>(timeoutMs)) ==
            WAIT_OBJECT_0) {
        DWORD code = 0;
        GetExitCodeProcess(m_impl->process.hProcess, &code);
        m_impl->exitCode = static_cast<int>(code);
    }
    return m_impl->exitCode;
}

void ChildProcess::kill()
{
    if (m_impl->started && !m_impl->exitCode)
        TerminateProcess(m_impl->process.hProcess, kKilledExitCode);
}

void ChildProcess::freezeThisProcess()
{
    SuspendThread(GetCurrentThread());
}

void ChildProcess::resume()
{
    ResumeThread(m_impl->process.hThread);
}

std::string ChildProcess::selfPath()
{
    char path[MAX_PATH * 4] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    return path;
}

#else

struct ChildProcess::Impl
{
    pid_t pid = -1;
    std::optional<int> exitCode;
};

namespace {

std::vector<std::string> currentEnvironment()
{
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry)
        entries.emplace_back(*entry);
    return entries;
}

std::vector<char*> pointersTo(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// A shell's convention: a child ended by signal n reports 128 + n.
int exitCodeOf(int status)
{
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const Environment& extraEnvironment)
    : m_impl(std::make_unique<Impl>())
{
    std::vector<std::string> argvTexts{program};
    argvTexts.insert(argvTexts.end(), arguments.begin(), arguments.end());
    std::vector<std::string> envTexts = mergedEnvironment(currentEnvironment(), extraEnvironment);
    std::vector<char*> argv = pointersTo(argvTexts);
    std::vector<char*> envp = pointersTo(envTexts);
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), envp.data()) == 0)
        m_impl->pid = pid;
}

ChildProcess::~ChildProcess()
{
    if (!m_impl->exitCode && m_impl->pid > 0) {
        kill();
        int status = 0;
        waitpid(m_impl->pid, &status, 0);
    }
}

long ChildProcess::pid() const
{
    return static_cast<long>(m_impl->pid);
}

std::optional<int> ChildProcess::wait(int timeoutMs)
{
    if (m_impl->pid <= 0 || m_impl->exitCode)
        return m_impl->exitCode;
    waitUntil(
        [this] {
            int status = 0;
            if (waitpid(m_impl->pid, &status, WNOHANG) != m_impl->pid)
                return false;
            m_impl->exitCode = exitCodeOf(status);
            return true;
        },
        timeoutMs);
    return m_impl->exitCode;
}

void ChildProcess::kill()
{
    if (m_impl->pid > 0 && !m_impl->exitCode)
        ::kill(m_impl->pid, SIGKILL);
}

void ChildProcess::freezeThisProcess()
{
    raise(SIGSTOP);
}

void ChildProcess::resume()
{
    ::kill(m_impl->pid, SIGCONT);
}

std::string ChildProcess::selfPath()
{
    char path[4096] = {};
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string();
}

#endif

bool ChildProcess::started() const
{
    return pid() > 0;
}

std::vector<std::string> ChildProcess::testArguments(const std::string& testName)
{
    return {"--gtest_filter=" + testName, "--gtest_also_run_disabled_tests"};
}

bool ChildProcess::waitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (condition())
            return true;
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}
