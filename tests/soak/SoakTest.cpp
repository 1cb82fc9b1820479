// A host's long life in one process: many update requests against the
// stand-in core with every kind of outcome, and the plug-in loaded and
// unloaded many times with a facade request in between. What the process
// holds must not grow with the number of requests or loads.
#include "CoreFixture.h"
#include "FakeHost.h"
#include "PluginLoader.h"
#include "ProcessCounts.h"
#include "TempDir.h"

#include <ZubHostTesting.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <gtest/gtest.h>
#include <json/json.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

// Qt's table of hooks for debugging tools (qhooks_p.h): version, size, Qt
// version, then the calls made for each QObject constructed and destroyed.
extern quintptr Q_CORE_EXPORT qtHookData[];

namespace {

enum Hook { kAddQObject = 3, kRemoveQObject = 4 };
std::atomic<long> g_liveQObjects{0};
quintptr g_previousHooks[kRemoveQObject + 1] = {};

template <Hook kHook, int kChange>
void countQObject(QObject* object)
{
    g_liveQObjects += kChange;
    if (const quintptr previous = g_previousHooks[kHook])
        reinterpret_cast<void (*)(QObject*)>(previous)(object);
}

// Counts the QObjects made minus those destroyed while it lives, through
// those hooks (calling on the ones it found). One at a time.
class LiveQObjects
{
public:
    LiveQObjects()
    {
        g_previousHooks[kAddQObject] = qtHookData[kAddQObject];
        g_previousHooks[kRemoveQObject] = qtHookData[kRemoveQObject];
        qtHookData[kAddQObject] = reinterpret_cast<quintptr>(&countQObject<kAddQObject, 1>);
        qtHookData[kRemoveQObject] = reinterpret_cast<quintptr>(&countQObject<kRemoveQObject, -1>);
    }
    ~LiveQObjects()
    {
        qtHookData[kAddQObject] = g_previousHooks[kAddQObject];
        qtHookData[kRemoveQObject] = g_previousHooks[kRemoveQObject];
    }
    long count() const { return g_liveQObjects; }
};

constexpr int kRequestsPerRound = 100;
constexpr int kLoadsPerRound = 20;

// 10 rounds (1,000 requests, 200 loads) unless ZUB_SOAK_ROUNDS asks for more.
int rounds()
{
    const char* asked = std::getenv("ZUB_SOAK_ROUNDS");
    return asked && std::atoi(asked) > 0 ? std::atoi(asked) : 10;
}

enum class Outcome { NoUpdate, Refused, EndedWell, FatalReport, kCount };

Json::Value report(int stage, int error = 0)
{
    Json::Value item;
    item["stage"] = stage;
    item["percent"] = 50;
    item["error"] = error;
    return item;
}

// No update; an update the platform refuses; one that ends well behind the
// dialog; one whose report is fatal, silent.
Json::Value scenarioFor(Outcome outcome, const std::string& gate)
{
    Json::Value scenario;
    if (outcome == Outcome::NoUpdate) {
        scenario["check"]["hasUpdate"] = 0;
        return scenario;
    }
    scenario = offeringUpdate();
    Json::Value& update = scenario["doUpdate"];
    if (outcome == Outcome::Refused) {
        update["status"] = 1;
        update["code"] = 7;
    } else if (outcome == Outcome::EndedWell) {
        update["gate"] = gate;
        update["reports"].append(report(1));
        update["reports"].append(report(4));
    } else {
        update["reports"].append(report(1, 5));
    }
    return scenario;
}

struct Sample
{
    ProcessCounts process;
    long qobjects;
};

void print(const char* when, const Sample& sample)
{
    std::printf("soak %s: descriptors %ld, threads %ld, live QObjects %ld, resident %ld KiB\n",
                when, sample.process.descriptors, sample.process.threads, sample.qobjects,
                sample.process.residentKiB);
}

class SoakTest : public testing::Test
{
protected:
    SoakTest()
    {
        CoreScenario::clearJournal();
        ZubHostTesting::recordMessageBoxes(true);
        // The platform's reports go out once the dialog is on screen.
        m_gateWatch.setInterval(2);
        QObject::connect(&m_gateWatch, &QTimer::timeout, [this] {
            if (QApplication::activeModalWidget() && !QFile::exists(m_gate))
                QFile(m_gate).open(QIODevice::WriteOnly);
        });
        m_gateWatch.start();
    }
    ~SoakTest() override { ZubHostTesting::recordMessageBoxes(false); }

    // One request through a factory of its own, so that its clients read
    // the scenario of this outcome.
    bool request(Outcome outcome)
    {
        QFile::remove(m_gate);
        m_core.write(Json::writeString(Json::StreamWriterBuilder(),
                                       scenarioFor(outcome, m_gate.toStdString())));
        const auto factory = m_plugin.newFactory();
        m_accepted += outcome == Outcome::EndedWell || outcome == Outcome::FatalReport;
        return factory && factory->updateQualityControl(&m_host, outcome != Outcome::EndedWell);
    }

    // A fresh load of a copy of the plug-in, a facade, and its unload.
    bool cycleThePlugin()
    {
        PluginLoader plugin(m_cycledPath);
        bool facade = false;
        if (auto factory = plugin.newFactory())
            facade = factory->getUIFacade(nullptr, nullptr, "host", nullptr, false) != nullptr;
        return facade && plugin.library().unload();
    }

    // Once every sink the platform got has been released and the posted
    // deletions have run; the stand-in core's journal and the recorded boxes
    // start afresh, so that only the plug-in's own keeping shows.
    Sample settle()
    {
        EXPECT_TRUE(waitForSinkReleases(m_accepted));
        m_accepted = 0;
        CoreScenario::clearJournal();
        ZubHostTesting::clearMessageBoxes();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        return {processCounts(), m_live.count()};
    }

    CoreScenario m_core;
    TempDir m_dir;
    QString m_gate = QString::fromStdString(m_dir.file("gate"));
    QString m_cycledPath = QString::fromStdString(m_dir.file(std::string("cycled-") + PLUGIN_FILE));
    PluginLoader m_plugin;
    QTimer m_gateWatch;
    LiveQObjects m_live;
    int m_accepted = 0;
    FakeHost m_host;
};

} // namespace

TEST_F(SoakTest, ThousandRequestsAndTwoHundredLoadsLeaveTheProcessFlat)
{
    ASSERT_TRUE(
        QFile::copy(QCoreApplication::applicationDirPath() + "/" + PLUGIN_FILE, m_cycledPath));
    QElapsedTimer clock;
    clock.start();
    int failedRequests = 0;
    int failedCycles = 0;
    Sample first{};
    Sample all{};
    for (int round = 0; round < rounds(); ++round) {
        for (int i = 0; i < kRequestsPerRound; ++i) {
            failedRequests += !request(static_cast<Outcome>(i % int(Outcome::kCount)));
            if (i % (kRequestsPerRound / kLoadsPerRound) == 0)
                failedCycles += !cycleThePlugin();
        }
        const Sample sample = settle();
        if (round == 0)
            first = sample;
        all = sample;
    }
    const int requests = rounds() * kRequestsPerRound;
    std::printf("soak: %d update requests and %d loads in %.1f s\n", requests,
                rounds() * kLoadsPerRound, static_cast<double>(clock.elapsed()) / 1000.0);
    print("after the first 100 requests and 20 loads", first);
    print(("after all " + std::to_string(requests) + " requests").c_str(), all);

    EXPECT_EQ(failedRequests, 0);
    EXPECT_EQ(failedCycles, 0);
    // One descriptor, thread or object kept per request or load would add
    // hundreds; the slack is what a settled process still has in flight.
    EXPECT_LE(all.process.descriptors, first.process.descriptors + 2);
    EXPECT_LE(all.process.threads, first.process.threads + 1);
    EXPECT_LE(all.qobjects, first.qobjects);
    if (kResidentMemoryIsTheProgramsOwn) {
        EXPECT_LE(all.process.residentKiB, first.process.residentKiB + 4096);
    }
}
