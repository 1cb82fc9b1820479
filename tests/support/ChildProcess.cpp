#include "ChildProcess.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#ifndef _WIN32
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

struct ChildProcess::Impl
{
#ifdef _WIN32
    PROCESS_INFORMATION process{};
#else
    pid_t pid = -1;
#endif
    bool started = false;
    std::optional<int> exitCode;
};

namespace {

// NAME=value entries of the current environment, with `extra` set over them.
std::vector<std::string> mergedEnvironment(std::vector<std::string> entries,
                                           const ChildProcess::Environment& extra)
{
    for (const auto& [name, value] : extra) {
        const std::string prefix = name + "=";
        const auto isSet = [&](const std::string& entry) { return entry.rfind(prefix, 0) == 0; };
        entries.erase(std::remove_if(entries.begin(), entries.end(), isSet), entries.end());
        entries.push_back(prefix + value);
    }
    return entries;
}

} // namespace

#ifdef _WIN32

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
    kill();
    WaitForSingleObject(m_impl->process.hProcess, INFINITE);
    CloseHandle(m_impl->process.hThread);
    CloseHandle(m_impl->process.hProcess);
}

std::optional<int> ChildProcess::wait(int timeoutMs)
{
    if (!m_impl->started || m_impl->exitCode ||
        WaitForSingleObject(m_impl->process.hProcess, static_cast<DWORD>(timeoutMs)) !=
            WAIT_OBJECT_0)
        return m_impl->exitCode;
    DWORD code = 0;
    GetExitCodeProcess(m_impl->process.hProcess, &code);
    m_impl->exitCode = static_cast<int>(code);
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

#else

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
    m_impl->started =
        posix_spawn(&m_impl->pid, program.c_str(), nullptr, nullptr, argv.data(), envp.data()) == 0;
}

ChildProcess::~ChildProcess()
{
    if (m_impl->started && !m_impl->exitCode) {
        kill();
        waitpid(m_impl->pid, nullptr, 0);
    }
}

std::optional<int> ChildProcess::wait(int timeoutMs)
{
    int status = 0;
    const auto ended = [&] { return waitpid(m_impl->pid, &status, WNOHANG) == m_impl->pid; };
    // A shell's convention: a child ended by signal n reports 128 + n.
    if (m_impl->started && !m_impl->exitCode && waitUntil(ended, timeoutMs))
        m_impl->exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return m_impl->exitCode;
}

void ChildProcess::kill()
{
    if (m_impl->started && !m_impl->exitCode)
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

#endif

bool ChildProcess::started() const
{
    return m_impl->started;
}

std::string ChildProcess::selfPath()
{
    char path[MAX_PATH * 4] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string native = path;
#ifndef _WIN32
    // The loader spells it as under Wine: "Z:" before the root, '\' between names.
    if (native.size() >= 2 && native[1] == ':')
        native.erase(0, 2);
    std::replace(native.begin(), native.end(), '\\', '/');
#endif
    return native;
}

std::vector<std::string> ChildProcess::testArguments(const std::string& testName)
{
    return {"--gtest_filter=" + testName, "--gtest_also_run_disabled_tests"};
}

bool ChildProcess::waitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}
