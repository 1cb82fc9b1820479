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
#include <string>

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
    // The logger's line lock: one byte far past the end, taken and given back.
    void lineLock(short type) const
    {
        struct flock range = {};
        range.l_type = type;
        range.l_whence = SEEK_SET;
        range.l_start = off_t(1) << 62;
        range.l_len = 1;
        fcntl(m_fd, type == F_UNLCK ? F_OFD_SETLK : F_OFD_SETLKW, &range);
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

// The other writer of the shared-file benchmarks, killed when the benchmark ends.
class Partner
{
public:
    explicit Partner(const char* mode)
        : m_ready(benchOptions().logFolder + "/partner.ready")
        , m_child(ChildProcess::selfPath(), {"--partner", mode, target(mode), m_ready})
    {
        m_started =
            m_child.started() &&
            ChildProcess::waitUntil([this] { return access(m_ready.c_str(), F_OK) == 0; }, 10000);
    }
    ~Partner()
    {
        m_child.kill();
        m_child.wait(10000);
        unlink(m_ready.c_str());
    }
    Partner(const Partner&) = delete;
    Partner& operator=(const Partner&) = delete;

    bool started() const { return m_started; }

private:
    static std::string target(const char* mode)
    {
        return std::string(mode) == "qorlog" ? benchOptions().logFolder : rawPath();
    }

    std::string m_ready;
    ChildProcess m_child;
    bool m_started = false;
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

template <void (*Body)(benchmark::State&)>
void withPartner(benchmark::State& state, const char* mode)
{
    const Partner partner(mode);
    if (!partner.started()) {
        state.SkipWithError("the second writer did not start");
        return;
    }
    Body(state);
}

void sharedOurs(benchmark::State& state)
{
    withPartner<logLineOurs>(state, "qorlog");
}
void sharedRaw(benchmark::State& state)
{
    withPartner<logLineRaw>(state, "raw");
}
void sharedFloor(benchmark::State& state)
{
    withPartner<logLineFloor>(state, "floor");
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
    configure(benchmark::RegisterBenchmark((prefix + "/shared/ours").c_str(), sharedOurs));
    configure(benchmark::RegisterBenchmark((prefix + "/shared/raw").c_str(), sharedRaw));
    configure(benchmark::RegisterBenchmark((prefix + "/shared/floor").c_str(), sharedFloor));
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
