#include "Reports.h"

#include "Journal.h"
#include "Text.h"

#include <io.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace qorcore {
namespace {

std::atomic<int> g_sinkCount{0};

// Threads that outlive the call that started them; the library's unload
// waits for them, so no report runs in an unloaded library. A thread whose
// work is over is joined at the next start, so a host that asks for many
// updates does not keep every finished thread until the unload. When the
// process ends, the system has ended them wherever they were, maybe inside
// this lock or the thread library's own: they are left to the system.
class CoreThreads
{
    struct Running
    {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };

public:
    ~CoreThreads()
    {
        if (processEnding())
            m_threads.release(); // neither joined nor destroyed: the system takes them back
        else
            joinAll();
    }

    void start(std::function<void()> work)
    {
        auto done = std::make_shared<std::atomic<bool>>(false);
        const std::lock_guard<std::mutex> hold(m_lock);
        joinFinished();
        m_threads->push_back({std::thread([work = std::move(work), done] {
                                  work();
                                  done->store(true);
                              }),
                              done});
    }

    int running()
    {
        const std::lock_guard<std::mutex> hold(m_lock);
        return static_cast<int>(std::count_if(m_threads->begin(), m_threads->end(),
                                              [](const Running& r) { return !r.done->load(); }));
    }

private:
    void joinFinished()
    {
        for (auto it = m_threads->begin(); it != m_threads->end();) {
            if (it->done->load() && it->thread.get_id() != std::this_thread::get_id()) {
                it->thread.join();
                it = m_threads->erase(it);
            } else {
                ++it;
            }
        }
    }

    void joinAll()
    {
        std::vector<Running> threads;
        {
            const std::lock_guard<std::mutex> hold(m_lock);
            threads.swap(*m_threads);
        }
        for (Running& running : threads) {
            if (running.thread.get_id() == std::this_thread::get_id())
                running.thread.detach();
            else
                running.thread.join();
        }
    }

    std::mutex m_lock;
    std::unique_ptr<std::vector<Running>> m_threads = std::make_unique<std::vector<Running>>();
};

CoreThreads g_threads;

// In ordered scripts, report n waits until reports 0 to n-1 went out.
class Turn
{
public:
    void waitFor(size_t index)
    {
        std::unique_lock<std::mutex> hold(m_lock);
        m_changed.wait(hold, [&] { return m_next == index; });
    }
    void advance()
    {
        {
            const std::lock_guard<std::mutex> hold(m_lock);
            ++m_next;
        }
        m_changed.notify_all();
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    size_t m_next = 0;
};

void pause(int milliseconds)
{
    if (milliseconds > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// Waits for the gate file, for ten minutes at most: a host that never opens
// it still gets its reports (and the library's unload is not held for good).
void waitForGate(const std::string& gate)
{
    const int kPollMs = 10;
    for (int waited = 0; !gate.empty() && _access(gate.c_str(), 0) != 0 && waited < 600000;
         waited += kPollMs)
        pause(kPollMs);
}

void send(Sink& sink, const Report& report, const std::string& appname, int bits)
{
    const BSTR text1 = bstrFrom(report.text1, appname);
    const BSTR text2 = bstrFrom(report.text2, std::string());
    const int reportBits = report.hasBits ? report.bits : bits;
    if (report.kind == Report::Kind::Stage)
        sink.stage(report.thread, report.error, text1, text2, reportBits, report.value,
                   report.percent);
    else
        sink.result(report.thread, report.error, text1, text2, reportBits, report.value);
    SysFreeString(text1);
    SysFreeString(text2);
}

std::string reportLine(int id, const char* call, int thread, unsigned int error, BSTR text1,
                       BSTR text2, int bits)
{
    return "sink " + std::to_string(id) + " " + call + " thread=" + std::to_string(thread) +
           " error=" + std::to_string(error) + " text1=" + quoted(text1) +
           " text2=" + quoted(text2) + " bits=" + std::to_string(bits);
}

// What the sink answered to a report, which the platform ignores.
void journalAnswer(int id, const char* call, long answer)
{
    journal("sink " + std::to_string(id) + " " + call + " returned " + std::to_string(answer));
}

} // namespace

Sink::Sink(IDruxNotify* notify)
    : m_notify(notify)
    , m_id(++g_sinkCount)
{}

void Sink::stage(int thread, unsigned int error, BSTR text1, BSTR text2, int bits, int stage,
                 int percent)
{
    journal(reportLine(m_id, "NotifyStage", thread, error, text1, text2, bits) +
            " stage=" + std::to_string(stage) + " percent=" + std::to_string(percent));
    journalAnswer(m_id, "NotifyStage",
                  m_notify->NotifyStage(error, text1, text2, bits, stage, percent));
}

void Sink::result(int thread, unsigned int error, BSTR text1, BSTR text2, int bits, int result)
{
    journal(reportLine(m_id, "NotifyResult", thread, error, text1, text2, bits) +
            " result=" + std::to_string(result));
    journalAnswer(m_id, "NotifyResult", m_notify->NotifyResult(error, text1, text2, bits, result));
}

void Sink::release()
{
    journal("sink " + std::to_string(m_id) + " Release");
    m_notify->Release();
}

int runningCoreThreads()
{
    return g_threads.running();
}

void runOnCoreThread(std::function<void()> work)
{
    g_threads.start(std::move(work));
}

void playScript(const UpdatePlan& plan, std::shared_ptr<Sink> sink, const std::string& appname,
                int bits)
{
    runOnCoreThread([plan, sink, appname, bits] {
        waitForGate(plan.gate);
        std::map<int, std::vector<size_t>> byThread;
        for (size_t i = 0; i < plan.reports.size(); ++i)
            byThread[plan.reports[i].thread].push_back(i);
        Turn turn;
        std::vector<std::thread> workers;
        for (const auto& entry : byThread) {
            workers.emplace_back([&, steps = entry.second] {
                for (const size_t index : steps) {
                    if (!plan.concurrent)
                        turn.waitFor(index);
                    pause(plan.reports[index].delayMs);
                    send(*sink, plan.reports[index], appname, bits);
                    if (!plan.concurrent)
                        turn.advance();
                }
            });
        }
        for (std::thread& worker : workers)
            worker.join();
        pause(plan.releaseDelayMs);
        sink->release();
    });
}

} // namespace qorcore
