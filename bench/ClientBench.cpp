// getQORClient, CreateInstance and Release once the client exists, beside a
// plain virtual call. The class id is one the core does not make, so the
// figure is the client's path to the core and back, not the core's work.
#include "Suite.h"

#include "CoreScenario.h"
#include <QORClient.h>

#include <benchmark/benchmark.h>

namespace {

const GUID kUnknownClass = {0x0BADC0DE, 0x0000, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0x01}};

void clientOurs(benchmark::State& state)
{
    suiteScenario();
    QORCLIENT::getQORClient()->Release(); // the first: client, registry, core
    for (auto _ : state) {
        QORCLIENT::IQORClient* client = QORCLIENT::getQORClient();
        void* object = nullptr;
        const HRESULT result = client->CreateInstance(kUnknownClass, kUnknownClass, &object);
        client->Release();
        if (result != CLASS_E_CLASSNOTAVAILABLE) {
            state.SkipWithError("the client did not reach the platform core");
            break;
        }
    }
}

class Callee
{
public:
    virtual ~Callee() = default;
    virtual int call(int value) { return value + 1; }
};

void virtualCall(benchmark::State& state)
{
    Callee callee;
    Callee* target = &callee;
    int value = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(target);
        value = target->call(value);
    }
    benchmark::DoNotOptimize(value);
}

} // namespace

void registerClientBenchmarks()
{
    for (auto* benchmark : {benchmark::RegisterBenchmark("Client/ours", clientOurs),
                            benchmark::RegisterBenchmark("Client/virtual_call", virtualCall)})
        benchmark->Repetitions(6)->ReportAggregatesOnly(true)->MinTime(0.2)->Unit(
            benchmark::kNanosecond);
}
