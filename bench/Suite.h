#pragma once
#include <QApplication>

#include <string>

class CoreScenario;

// The suite's application: it tells a hook, on the GUI thread, each time a
// queued slot call has been delivered, right after the slot returned.
class BenchApplication : public QApplication
{
public:
    using DeliveredHook = void (*)(QObject* receiver, void* context);

    BenchApplication(int& argc, char** argv)
        : QApplication(argc, argv)
    {}
    bool notify(QObject* receiver, QEvent* event) override;

    // GUI thread only; a null hook stops the telling.
    static void setDeliveredHook(DeliveredHook hook, void* context);
};

// What this run of the suite was told before Google Benchmark's own flags.
struct BenchOptions
{
    // Folder of this process's client log and of the raw writes beside it
    // (the logger is one per process, so each folder takes a run of its own).
    std::string logFolder;
    // Names the log benchmarks of this run ("disk", "shm").
    std::string logLabel = "disk";
};

const BenchOptions& benchOptions();
// Reads and removes the suite's own arguments; false on a malformed one.
bool parseBenchOptions(int& argc, char** argv);

// The platform core's scenario and registry for this process, made at first
// need: before the first client, which reads the registry once.
CoreScenario& suiteScenario();

// Each file of the suite registers its benchmarks.
void registerLogLineBenchmarks();
void registerUpdateListBenchmarks();
void registerReportPathBenchmarks();
void registerReportFloodBenchmarks();
void registerBusyPlatformBenchmarks();
void registerClientBenchmarks();

// The second writer of the shared-file benchmarks: `zubbench --partner
// qorlog FOLDER READY`, or `--partner raw|floor FILE READY`, appending lines
// until it is killed; READY is created after its first line.
bool isPartnerRun(int argc, char** argv);
int runPartner(int argc, char** argv);
