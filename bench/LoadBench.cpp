// Plug-in load, getbundle and activate, as the host does them, beside the
// load of an empty library that links the same Qt libraries. Each iteration
// unloads what it loaded (untimed), so every load is a real one.
#include "RunBenchmarks.h"

#include <IBundlerActivator.h>
#include <IServiceFactory.h>

#include <QApplication>
#include <QLibrary>
#include <benchmark/benchmark.h>

#include <dlfcn.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

// The host's side of the activation.
class HostContext : public IBundleContext
{
public:
    void registerServiceFactory(IServiceFactory* factory) override { m_factory.reset(factory); }
    bool registered() const { return m_factory != nullptr; }

private:
    std::unique_ptr<IServiceFactory> m_factory;
};

std::string besideExecutable(const char* name)
{
    char path[4096] = {};
    if (readlink("/proc/self/exe", path, sizeof path - 1) <= 0)
        return name;
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('/') + 1) + name;
}

bool stillLoaded(const std::string& path)
{
    void* handle = dlopen(path.c_str(), RTLD_LAZY | RTLD_NOLOAD);
    if (!handle)
        return false;
    dlclose(handle);
    return true;
}

double seconds(Clock::duration duration)
{
    return std::chrono::duration<double>(duration).count();
}

// The plug-in's own libraries that a host does not hold already (the Linux
// build takes jsoncpp as a shared library; the Windows build links it in).
// With `resident`, they stay loaded across the iterations, so only the
// plug-in itself is loaded each time.
void loadPlugin(benchmark::State& state, bool resident)
{
    const std::unique_ptr<void, int (*)(void*)> jsoncpp(
        resident ? dlopen(ZUB_JSONCPP_SONAME, RTLD_LAZY) : nullptr,
        [](void* handle) { return handle ? dlclose(handle) : 0; });
    if (resident && !jsoncpp) {
        state.SkipWithError("jsoncpp could not be held loaded");
        return;
    }
    const std::string path = besideExecutable("ZubQualityControlProxy64d.so");
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        QLibrary plugin(QString::fromStdString(path));
        const auto getbundle = reinterpret_cast<GetBundleFunc>(plugin.resolve("getbundle"));
        if (!getbundle) {
            state.SkipWithError("the plug-in did not load");
            return;
        }
        {
            HostContext context;
            const std::unique_ptr<IBundlerActivator> bundle(getbundle());
            bundle->activate(&context, nullptr);
            state.SetIterationTime(seconds(Clock::now() - start));
            if (!context.registered()) {
                state.SkipWithError("the bundle registered no factory");
                return;
            }
        }
        plugin.unload();
    }
    if (stillLoaded(path))
        state.SkipWithError("the plug-in stays loaded after its unload: later loads were not real");
}

void loadEmpty(benchmark::State& state)
{
    const std::string path = besideExecutable("EmptyQtLibrary.so");
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        QLibrary library(QString::fromStdString(path));
        if (!library.load()) {
            state.SkipWithError("the empty library did not load");
            return;
        }
        state.SetIterationTime(seconds(Clock::now() - start));
        library.unload();
    }
    if (stillLoaded(path))
        state.SkipWithError("the empty library stays loaded after its unload");
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qunsetenv("QT_QPA_PLATFORMTHEME");
    QApplication application(argc, argv);
    for (auto* benchmark :
         {benchmark::RegisterBenchmark("Load/ours", loadPlugin, false),
          benchmark::RegisterBenchmark("Load/ours_jsoncpp_resident", loadPlugin, true),
          benchmark::RegisterBenchmark("Load/empty_qt_library", loadEmpty)})
        benchmark->UseManualTime()->Repetitions(12)->ReportAggregatesOnly(true)->MinTime(0.2)->Unit(
            benchmark::kMicrosecond);
    return runBenchmarks(argc, argv);
}
