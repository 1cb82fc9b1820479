// A stage-1 report from a platform thread to the dialog's slot (proxy, sink,
// handler, queued signal, updateProgress), beside an empty queued slot call
// between the same two threads. The two are sent in turn, one at a time, and
// each is timed from the platform thread's call to the end of its slot on
// the GUI thread.
#include "Suite.h"

#include "DRUXClient/KaNotify.h"
#include "KaNotifyProxy.h"
#include "ZubDRUXClient/ZubInstallProgressHandler.h"

#include <benchmark/benchmark.h>
#include <oleauto.h>

#include <QObject>
#include <QSemaphore>
#include <QTimer>

#include <algorithm>
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

}  // namespace

// Lives in the GUI thread; its slots run there, last after the dialog's.
class ArrivalProbe : public QObject
{
    Q_OBJECT
public:
    // Platform thread: waits for the next slot call and returns its time.
    Clock::time_point nextArrival()
    {
        m_arrived.acquire();
        return m_at;
    }

public slots:
    void progressShown(QString, int) { arrive(); }
    void pinged() { arrive(); }

private:
    void arrive()
    {
        m_at = Clock::now();
        m_arrived.release();
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
    const size_t index = static_cast<size_t>(fraction * static_cast<double>(samples.size() - 1) + 0.5);
    return samples[index];
}

double micros(Clock::duration duration)
{
    return std::chrono::duration<double, std::micro>(duration).count();
}

// The platform thread: pairs of samples, the order inside each pair taking
// turns; then the install-over report that ends the dialog.
void sendReports(DRUX::KaNotifyProxy* proxy, Pinger& pinger, ArrivalProbe& probe, Latencies& out)
{
    BSTR text1 = SysAllocString(L"Mirn6_QualityControl");
    BSTR text2 = SysAllocString(L"");
    for (int pair = 0; pair < kWarmUpPairs + kPairs; ++pair) {
        for (int turn = 0; turn < 2; ++turn) {
            const bool report = (turn == 0) == (pair % 2 == 0);
            const Clock::time_point sent = Clock::now();
            if (report)
                proxy->NotifyStage(0, text1, text2, 64, 1, pair % 100 + 1);
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

void reportPath(benchmark::State& state)
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
        // Runs inside the dialog's modal loop, once the dialog's own
        // connection exists: the probe's slot then runs after updateProgress.
        QTimer::singleShot(0, [&] {
            QObject::connect(&handler, SIGNAL(onNotifyUpdateProgressForm(QString, int)), &probe,
                             SLOT(progressShown(QString, int)));
            platform = std::thread(sendReports, proxy, std::ref(pinger), std::ref(probe),
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

}  // namespace

void registerReportPathBenchmarks()
{
    benchmark::RegisterBenchmark("ReportPath/latency", reportPath)->Iterations(1)->Unit(benchmark::kMillisecond);
}

#include "ReportPathBench.moc"
