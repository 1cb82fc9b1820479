// A stage-1 report from a platform thread to the dialog's slot (proxy, sink,
// handler, queued signal, updateProgress), beside an empty queued slot call
// between the same two threads. The two are sent in turn, one at a time, and
// each is timed from the platform thread's call to the moment its slot has
// returned on the GUI thread (the application's delivery hook).
#include "Suite.h"

#include "DRUXClient/KaNotify.h"
#include <KaNotifyProxy.h>
#include "ZubDRUXClient/ZubInstallProgressHandler.h"

#include <benchmark/benchmark.h>
#include <oleauto.h>

#include <QObject>
#include <QSemaphore>
#include <QTimer>

#include <algorithm>
#include <cstring>
#include <chrono>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

const int kWarmUpPairs = 50;
const int kPairs = 1000;
// Lets the GUI thread paint what the last report changed before the next
// one is sent, so that neither side waits behind the other's painting.
const auto kPause = std::chrono::milliseconds(2);

} // namespace

// Lives in the GUI thread: the receiver of the empty call, and the clock of
// both kinds of arrival.
class ArrivalProbe : public QObject
{
    Q_OBJECT
public:
    ArrivalProbe() { BenchApplication::setDeliveredHook(&ArrivalProbe::delivered, this); }
    ~ArrivalProbe() override { BenchApplication::setDeliveredHook(nullptr, nullptr); }

    // Platform thread: waits for the next arrival and returns its time.
    Clock::time_point nextArrival()
    {
        m_arrived.acquire();
        return m_at;
    }

public slots:
    void pinged() {}

private:
    // The dialog's slot or the empty one has just returned.
    static void delivered(QObject* receiver, void* context)
    {
        auto* probe = static_cast<ArrivalProbe*>(context);
        if (receiver != probe &&
            std::strcmp(receiver->metaObject()->className(), "ZubProgressForm") != 0)
            return;
        probe->m_at = Clock::now();
        probe->m_arrived.release();
    }

    QSemaphore m_arrived;
    Clock::time_point m_at;
};

// Emitted on the platform thread; the connection to the probe queues it.
class Pinger : public QObject
{
    Q_OBJECT
signals:
    void ping();
};

namespace {

struct Latencies
{
    std::vector<double> report;
    std::vector<double> empty;
};

double percentile(std::vector<double> samples, double fraction)
{
    if (samples.empty())
        return 0.0;
    std::sort(samples.begin(), samples.end());
    const size_t index =
        static_cast<size_t>(fraction * static_cast<double>(samples.size() - 1) + 0.5);
    return samples[index];
}

double micros(Clock::duration duration)
{
    return std::chrono::duration<double, std::micro>(duration).count();
}

// The platform thread: pairs of samples, the order inside each pair taking
// turns; then the install-over report that ends the dialog.
// How the percentage of the samples goes: the same every time (the bar
// stays), or a new one every time (the bar and the label move).
enum class Percent { Same, New };

void sendReports(DRUX::KaNotifyProxy* proxy, Pinger& pinger, ArrivalProbe& probe, Percent percent,
                 Latencies& out)
{
    BSTR text1 = SysAllocString(L"Mirn6_QualityControl");
    BSTR text2 = SysAllocString(L"");
    for (int pair = 0; pair < kWarmUpPairs + kPairs; ++pair) {
        for (int turn = 0; turn < 2; ++turn) {
            const bool report = (turn == 0) == (pair % 2 == 0);
            const Clock::time_point sent = Clock::now();
            if (report)
                proxy->NotifyStage(0, text1, text2, 64, 1,
                                   percent == Percent::New ? pair % 100 + 1 : 50);
            else
                emit pinger.ping();
            const double latency = micros(probe.nextArrival() - sent);
            if (pair >= kWarmUpPairs)
                (report ? out.report : out.empty).push_back(latency);
            std::this_thread::sleep_for(kPause);
        }
    }
    proxy->NotifyStage(0, text1, text2, 64, 4, 100);
    SysFreeString(text1);
    SysFreeString(text2);
}

void reportPath(benchmark::State& state, Percent percent)
{
    Latencies latencies;
    for (auto _ : state) {
        ZubInstallProgressHandler handler;
        KaNotify sink(false, &handler);
        auto* proxy = new DRUX::KaNotifyProxy(&sink);
        ArrivalProbe probe;
        Pinger pinger;
        QObject::connect(&pinger, &Pinger::ping, &probe, &ArrivalProbe::pinged);
        std::thread platform;
        // Runs inside the dialog's modal loop, once the dialog exists.
        QTimer::singleShot(0, [&] {
            platform = std::thread(sendReports, proxy, std::ref(pinger), std::ref(probe), percent,
                                   std::ref(latencies));
        });
        handler.showProgressForm();
        platform.join();
        handler.closeProgressForm();
        proxy->Release();
    }
    state.counters["report_p50_us"] = percentile(latencies.report, 0.50);
    state.counters["report_p99_us"] = percentile(latencies.report, 0.99);
    state.counters["empty_p50_us"] = percentile(latencies.empty, 0.50);
    state.counters["empty_p99_us"] = percentile(latencies.empty, 0.99);
}

} // namespace

void registerReportPathBenchmarks()
{
    for (auto* benchmark :
         {benchmark::RegisterBenchmark("ReportPath/latency", reportPath, Percent::Same),
          benchmark::RegisterBenchmark("ReportPath/latency_bar_moves", reportPath, Percent::New)})
        benchmark->Iterations(1)->Unit(benchmark::kMillisecond);
}

#include "ReportPathBench.moc"
