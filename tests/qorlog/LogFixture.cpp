#include "LogFixture.h"

#include "TextFiles.h"
#include <libdruxclient/qorlog.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

template <typename Function>
Function probeFunction(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

} // namespace

LogFixture::LogFixture()
    : m_eventBase("qorlogtest-" + fs::path(m_dir.path()).filename().string())
    , m_start(fs::file_time_type::clock::now())
{}

LogFixture::~LogFixture()
{
    unload();
}

bool LogFixture::load()
{
    const fs::path probe = fs::path(ChildProcess::selfPath()).parent_path() / LOGGER_PROBE_FILE;
    m_module = LoadLibraryA(probe.string().c_str());
    if (!m_module) {
        ADD_FAILURE() << "cannot load " << probe << ", error " << GetLastError();
        return false;
    }
    using Start = void (*)(const char*, const char*, const char*);
    probeFunction<Start>(m_module, "probeStart")(m_dir.path().c_str(), nullptr,
                                                 m_eventBase.c_str());
    return true;
}

void LogFixture::log(const std::string& text)
{
    probeFunction<void (*)(const char*)>(m_module, "probeLog")(text.c_str());
}

void LogFixture::logW(const std::wstring& text)
{
    probeFunction<void (*)(const wchar_t*)>(m_module, "probeLogW")(text.c_str());
}

void LogFixture::unload()
{
    if (m_module)
        FreeLibrary(m_module);
    m_module = nullptr;
}

std::string LogFixture::file(int index) const
{
    return m_dir.file("qorcore." + std::to_string(index) + ".txt");
}

std::string LogFixture::loggerPath(int index) const
{
    return m_dir.path() + "\\qorcore." + std::to_string(index) + ".txt";
}

bool LogFixture::eventHeld(int index) const
{
    const HANDLE event = CreateEventA(nullptr, FALSE, FALSE, eventName(index).c_str());
    const bool held = GetLastError() == ERROR_ALREADY_EXISTS;
    CloseHandle(event);
    return held;
}

std::string LogFixture::read(int index) const
{
    return readFile(file(index));
}

void LogFixture::write(int index, const std::string& bytes, int secondsAgo) const
{
    std::ofstream(file(index), std::ios::binary) << bytes;
    fs::last_write_time(file(index), m_start - std::chrono::seconds(secondsAgo));
}

std::vector<std::string> LogFixture::lines(int index) const
{
    const std::string bytes = read(index);
    std::vector<std::string> result;
    size_t start = 0;
    for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        result.push_back(bytes.substr(start, end - start));
    result.push_back(bytes.substr(start));
    return result;
}

std::unique_ptr<ChildProcess> LogFixture::startWriter(int first, int lines, size_t base,
                                                      ChildProcess::Environment settings) const
{
    settings.insert(settings.end(), {{"QORLOG_DIR", m_dir.path()},
                                     {"QORLOG_WRITER", std::to_string(first)},
                                     {"QORLOG_LINES", std::to_string(lines)},
                                     {"QORLOG_BASE", std::to_string(base)},
                                     {"QORLOG_EVENTS", m_eventBase}});
    auto child = std::make_unique<ChildProcess>(
        ChildProcess::selfPath(), ChildProcess::testArguments("QorlogChild.DISABLED_writeNumbered"),
        settings);
    EXPECT_TRUE(child->started());
    EXPECT_TRUE(ChildProcess::waitUntil(
        [&] { return fs::exists(m_dir.file("ready." + std::to_string(first))); }, 60000));
    return child;
}

std::string idsOfThisThread()
{
    char ids[32];
    std::snprintf(ids, sizeof ids, "%-5lu %-5lu ",
                  static_cast<unsigned long>(GetCurrentProcessId()),
                  static_cast<unsigned long>(GetCurrentThreadId()));
    return ids;
}

std::string numbered(int writer, int number, size_t base)
{
    const size_t length = base + static_cast<size_t>(number * 37 + writer * 101) % base;
    return "W" + std::to_string(writer) + " #" + std::to_string(number) + " " +
           std::string(length, static_cast<char>('a' + (writer + number) % 26));
}

NumberedLines surveyNumbered(const std::vector<std::string>& lines, size_t base)
{
    NumberedLines found;
    for (const std::string& line : lines) {
        const size_t at = line.find(" W");
        int writer = -1;
        int number = -1;
        if (at == std::string::npos) {
            found.others += !line.empty();
        } else if (!stampedThisYear(line) ||
                   std::sscanf(line.c_str() + at + 1, "W%d #%d", &writer, &number) != 2 ||
                   line.compare(at + 1, std::string::npos, numbered(writer, number, base)) != 0) {
            ++found.torn;
        } else {
            found.numbers[writer].push_back(number);
            found.newestStamp = std::max(found.newestStamp, line.substr(0, 23));
        }
    }
    return found;
}

// A writer process of QORLOG_DIR's log: QORLOG_THREADS threads (1 if unset)
// write QORLOG_LINES numbered lines of base QORLOG_BASE each, as writers
// QORLOG_WRITER and on. It leaves ready.<first writer>, then with QORLOG_FILE
// holds that file's line lock and freezes, as a writer halted in a debugger
// inside a line does; with QORLOG_GO it starts once that file exists. It
// leaves delay.<writer> (the sum of its lines slower than 100 ms) and
// switches.<first writer> (the file switches it saw).
TEST(QorlogChild, DISABLED_writeNumbered)
{
    const auto number = [](const char* name, int otherwise) {
        const char* value = std::getenv(name);
        return value ? std::atoi(value) : otherwise;
    };
    const std::string dir = std::getenv("QORLOG_DIR");
    const int first = number("QORLOG_WRITER", 0);
    const int lines = number("QORLOG_LINES", 0);
    const auto base = static_cast<size_t>(number("QORLOG_BASE", 0));
    DebugCapture debug;
    qorlog* logger = qorlog::instance(dir.c_str(), nullptr, std::getenv("QORLOG_EVENTS"));
    const char* held = std::getenv("QORLOG_FILE");
    const HANDLE file = held ? lockLinesOf(held) : nullptr;
    std::ofstream(dir + "/ready." + std::to_string(first)).put('\n');
    if (held) {
        ChildProcess::freezeThisProcess();
        unlockLines(file);
    }
    const char* go = std::getenv("QORLOG_GO");
    ASSERT_TRUE(!go || ChildProcess::waitUntil([&] { return fs::exists(go); }, 60000));

    std::vector<std::thread> threads;
    for (int writer = first; writer < first + number("QORLOG_THREADS", 1); ++writer) {
        threads.emplace_back([=] {
            double delay = 0;
            for (int line = 0; line < lines; ++line) {
                const auto began = std::chrono::steady_clock::now();
                logger->log("%s", numbered(writer, line, base).c_str());
                const std::chrono::duration<double> took = std::chrono::steady_clock::now() - began;
                delay += took.count() > 0.1 ? took.count() : 0;
            }
            std::ofstream(dir + "/delay." + std::to_string(writer)) << delay;
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    int opens = 0;
    for (const std::string& text : debug.lines())
        opens += text.find(" switch log file to ") != std::string::npos;
    std::ofstream(dir + "/switches." + std::to_string(first)) << opens - 1;
}
