// One client-log line (stamped, written, committed) beside the physical
// limit: a write and an fdatasync of the same bytes to a file of the same
// folder. Alone, and with a second process appending to the same file.
#include "AllocationCounter.h"
#include "Suite.h"

#include "ChildProcess.h"
#include <libdruxclient/qorlog.h>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <csignal>
#include <ctime>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

// The line the client layer writes most.
const char* const kMessage = "get IQORClient OK";
// The logger's size limit; the raw file is kept within it the same way.
const off_t kFileLimit = 0x300000;
const int kRepetitions = 10;
// Seconds of each repetition: a disk that commits in 0.1 ms or in 3 ms
// still gives every repetition enough lines.
const double kRepetitionSeconds = 0.3;

std::string executableName()
{
    const std::string path = ChildProcess::selfPath();
    return path.substr(path.find_last_of('/') + 1);
}

// The bytes of one stamped line as the logger writes them: the same fields,
// the same widths, CR LF.
std::string stampedLine()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    char line[512];
    snprintf(line, sizeof line, "%02d-%02d-%02d %02d:%02d:%02d.%03d %-5d %-5d %-10.10s %s\r\n",
             local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
             local.tm_sec, static_cast<int>(now.tv_nsec / 1000000), static_cast<int>(getpid()),
             static_cast<int>(gettid()), executableName().c_str(), kMessage);
    return line;
}

// The physical limit of a committed line: one append and one fdatasync.
// With the design's steps, also what the logger's design asks of the kernel
// for each line and nothing else: the size check by path, the cross-process
// line lock around the append, and the commit after the lock.
class RawAppender
{
public:
    enum Steps { AppendOnly, DesignSteps };

    RawAppender(const std::string& path, Steps steps)
        : m_path(path)
        , m_steps(steps)
        , m_fd(open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644))
        , m_line(stampedLine())
    {}
    ~RawAppender()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    RawAppender(const RawAppender&) = delete;
    RawAppender& operator=(const RawAppender&) = delete;

    bool ok() const { return m_fd >= 0; }

    bool append()
    {
        if (m_steps == DesignSteps) {
            struct stat status;
            stat(m_path.c_str(), &status);
            lineLock(F_WRLCK);
        }
        const bool written =
            write(m_fd, m_line.data(), m_line.size()) == static_cast<ssize_t>(m_line.size());
        if (m_steps == DesignSteps)
            lineLock(F_UNLCK);
        fdatasync(m_fd);
        if (!written)
            return false;
        m_written += static_cast<off_t>(m_line.size());
        if (m_written >= kFileLimit) {
            m_written = 0;
            return ftruncate(m_fd, 0) == 0;
        }
        return true;
    }

private:
    // The logger's line lock: one byte far past the end, taken and given
    // back; once it is taken, the look for writers that moved on to a later
    // lock (a shared lock over their marks, taken and given back).
    void lineLock(short type) const
    {
        setLock(type, off_t(1) << 62, 1);
        if (type != F_WRLCK)
            return;
        const off_t marks = (off_t(1) << 61) + (off_t(1) << 48);
        setLock(F_RDLCK, marks, (off_t(1) << 62) - marks);
        setLock(F_UNLCK, marks, (off_t(1) << 62) - marks);
    }

    void setLock(short type, off_t start, off_t length) const
    {
        struct flock range = {};
        range.l_type = type;
        range.l_whence = SEEK_SET;
        range.l_start = start;
        range.l_len = length;
        fcntl(m_fd, type == F_WRLCK ? F_OFD_SETLKW : F_OFD_SETLK, &range);
    }

    std::string m_path;
    Steps m_steps;
    int m_fd;
    std::string m_line;
    off_t m_written = 0;
};

std::string rawPath()
{
    return benchOptions().logFolder + "/raw.txt";
}

// The other writers of the shared-file benchmarks, killed when the benchmark ends.
class Partners
{
public:
    Partners(const char* mode, int count)
    {
        for (int partner = 0; partner < count; ++partner) {
            m_ready.push_back(benchOptions().logFolder + "/partner.ready." +
                              std::to_string(partner));
            m_children.push_back(std::make_unique<ChildProcess>(
                ChildProcess::selfPath(),
                std::vector<std::string>{"--partner", mode, target(mode), m_ready.back()}));
            m_started = m_started && m_children.back()->started();
        }
        m_started = m_started && ChildProcess::waitUntil(
                                     [this] {
                                         for (const std::string& ready : m_ready) {
                                             if (access(ready.c_str(), F_OK) != 0)
                                                 return false;
                                         }
                                         return true;
                                     },
                                     10000);
    }
    ~Partners()
    {
        for (auto& child : m_children)
            child->kill();
        for (auto& child : m_children)
            child->wait(10000);
        for (const std::string& ready : m_ready)
            unlink(ready.c_str());
    }
    Partners(const Partners&) = delete;
    Partners& operator=(const Partners&) = delete;

    bool started() const { return m_started; }

private:
    static std::string target(const char* mode)
    {
        return std::string(mode) == "qorlog" ? benchOptions().logFolder : rawPath();
    }

    std::vector<std::string> m_ready;
    std::vector<std::unique_ptr<ChildProcess>> m_children;
    bool m_started = true;
};

void logLineOurs(benchmark::State& state)
{
    qorlog* logger = qorlog::instance(nullptr, nullptr, nullptr);
    logger->log(kMessage); // the file is open and the module tag known
    AllocationCounter allocations;
    for (auto _ : state)
        logger->log(kMessage);
    state.counters["allocs_per_line"] = benchmark::Counter(static_cast<double>(allocations.count()),
                                                           benchmark::Counter::kAvgIterations);
}

void appendRaw(benchmark::State& state, RawAppender::Steps steps)
{
    RawAppender raw(rawPath(), steps);
    if (!raw.ok()) {
        state.SkipWithError("cannot open the raw file");
        return;
    }
    for (auto _ : state) {
        if (!raw.append()) {
            state.SkipWithError("raw append failed");
            break;
        }
    }
}

void logLineRaw(benchmark::State& state)
{
    appendRaw(state, RawAppender::AppendOnly);
}
void logLineFloor(benchmark::State& state)
{
    appendRaw(state, RawAppender::DesignSteps);
}

// This process's lines while `partners` other processes append to the same
// file the same way.
template <void (*Body)(benchmark::State&)>
void withPartners(benchmark::State& state, const char* mode, int partners)
{
    const Partners others(mode, partners);
    if (!others.started()) {
        state.SkipWithError("the other writers did not start");
        return;
    }
    Body(state);
}

void configure(benchmark::internal::Benchmark* benchmark)
{
    benchmark->MinTime(kRepetitionSeconds)
        ->Repetitions(kRepetitions)
        ->ReportAggregatesOnly(true)
        ->UseRealTime()
        ->Unit(benchmark::kMicrosecond);
}

} // namespace

void registerLogLineBenchmarks()
{
    const std::string prefix = "LogLine/" + benchOptions().logLabel;
    configure(benchmark::RegisterBenchmark((prefix + "/ours").c_str(), logLineOurs));
    configure(benchmark::RegisterBenchmark((prefix + "/raw").c_str(), logLineRaw));
    configure(benchmark::RegisterBenchmark((prefix + "/floor").c_str(), logLineFloor));
    // Two writers with the design's syscalls alone beside them; four and
    // eight beside as many bare writers.
    configure(benchmark::RegisterBenchmark((prefix + "/shared/floor").c_str(),
                                           withPartners<logLineFloor>, "floor", 1));
    for (const int writers : {2, 4, 8}) {
        const std::string shared =
            prefix + "/shared" + (writers == 2 ? "" : std::to_string(writers));
        configure(benchmark::RegisterBenchmark((shared + "/ours").c_str(),
                                               withPartners<logLineOurs>, "qorlog", writers - 1));
        configure(benchmark::RegisterBenchmark((shared + "/raw").c_str(), withPartners<logLineRaw>,
                                               "raw", writers - 1));
    }
}

// argv: --partner MODE TARGET READYFILE
int runPartner(int argc, char** argv)
{
    if (argc != 5)
        return 2;
    // Never outlive the benchmark that started it.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() == 1)
        return 1;
    const std::string mode = argv[2];
    bool first = true;
    auto ready = [&] {
        if (first)
            std::ofstream(argv[4]) << getpid();
        first = false;
    };
    if (mode == "qorlog") {
        qorlog* logger = qorlog::instance(argv[3], nullptr, nullptr);
        for (;;) {
            logger->log(kMessage);
            ready();
        }
    }
    if (mode != "raw" && mode != "floor")
        return 2;
    RawAppender raw(argv[3], mode == "raw" ? RawAppender::AppendOnly : RawAppender::DesignSteps);
    while (raw.ok() && raw.append())
        ready();
    return 1;
}
