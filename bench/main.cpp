// The in-process part of the performance suite. Product code prints its
// report lines on standard output, so that goes to /dev/null here, as a GUI
// host's does.
#include "RunBenchmarks.h"
#include "Suite.h"

#include <libdruxclient/qorlog.h>
#include "TempDir.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <memory>

namespace {

void silenceStandardOutput()
{
    fflush(stdout);
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null >= 0) {
        dup2(null, STDOUT_FILENO);
        close(null);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (isPartnerRun(argc, argv))
        return runPartner(argc, argv);
    if (!parseBenchOptions(argc, argv)) {
        std::cerr << "usage: zubbench [--log-folder DIR] [--log-label NAME] [benchmark flags]\n";
        return 2;
    }
    std::unique_ptr<TempDir> ownFolder;
    std::string folder = benchOptions().logFolder;
    if (folder.empty()) {
        ownFolder = std::make_unique<TempDir>();
        folder = ownFolder->path();
    }
    // The first call decides the folder of every client-log line of the run.
    qorlog::instance(folder.c_str(), nullptr, nullptr);

    silenceStandardOutput();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qunsetenv("QT_QPA_PLATFORMTHEME");
    BenchApplication application(argc, argv);

    registerLogLineBenchmarks();
    registerUpdateListBenchmarks();
    registerReportPathBenchmarks();
    registerReportFloodBenchmarks();
    registerBusyPlatformBenchmarks();
    registerClientBenchmarks();

    return runBenchmarks(argc, argv);
}
