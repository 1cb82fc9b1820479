#pragma once
// Local repository mode: updates offered from a folder of packages and
// installed, with real byte progress, into the suite's module folder.
#include "Reports.h"
#include "Scenario.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qorcore {

struct Package
{
    std::string appname;
    std::string version;
    std::string title;
    std::string desc;
    std::string file; // the module file, beside the manifest
    int bits = 64;
    std::uintmax_t size = 0;
};

class LocalRepository
{
public:
    explicit LocalRepository(const RepositoryPlan& plan)
        : m_plan(plan)
    {}

    // The packages for `appname` newer than the installed module, newest first.
    std::vector<Package> offers(const std::string& appname) const;
    // The version recorded beside the installed module ("" when none).
    std::string installedVersion(const Package& package) const;
    // The offers as the platform's JSON update list.
    static std::string listText(const std::vector<Package>& offers);
    // Copies, installs and reports on a thread of the core's own, then
    // releases the sink.
    void install(const Package& package, std::shared_ptr<Sink> sink) const;

private:
    RepositoryPlan m_plan;
};

// Dotted versions compared number by number ("6.10" is newer than "6.9").
bool newerVersion(const std::string& candidate, const std::string& installed);

} // namespace qorcore
