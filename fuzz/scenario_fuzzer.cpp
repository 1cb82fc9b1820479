// The stand-in core's scenario of any bytes: refused with a reason, or read
// into a scenario whose numbers are within the ranges the core relies on.
#include "Scenario.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {
void checkReports(const qorcore::UpdatePlan& plan)
{
    for (const qorcore::Report& report : plan.reports) {
        if (report.thread < 1 || report.thread > 16 || report.delayMs < 0)
            std::abort();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    qorcore::Scenario scenario;
    std::string error;
    if (!qorcore::parseScenario(std::string(reinterpret_cast<const char*>(data), size), scenario,
                                error)) {
        if (error.empty())
            std::abort();
        return 0;
    }
    checkReports(scenario.product.update);
    checkReports(scenario.user.update);
    const qorcore::RepositoryPlan& repository = scenario.repository;
    if (repository.enabled && (repository.chunkBytes < 1 || repository.paceMs < 0 ||
                               repository.packages.empty() || repository.modules.empty()))
        std::abort();
    return 0;
}
