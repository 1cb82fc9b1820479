#pragma once
#include <windows.h>
#include <oleauto.h>

#include "LocalRepository.h"
#include "Scenario.h"

#include <qor/IDruxNotify.h>

#include <memory>
#include <string>
#include <vector>

namespace qorcore {

// What both update services do, as the scenario says; one per service object.
class ServiceLogic
{
public:
    ServiceLogic(std::string name, const FlavourPlan& plan, const RepositoryPlan& repository);

    HRESULT start(int* code, BSTR appname, int bits);
    // `call` names the operation for the journal (with its user strings).
    HRESULT check(const CheckPlan& plan, const std::string& call, int* code,
                  unsigned int* hasUpdate, BSTR* reason, BSTR* list);
    HRESULT doUpdate(int* code, BSTR appname, int bits, IDruxNotify* notify);
    HRESULT stop(int* code);

    const std::string& name() const { return m_name; }
    const FlavourPlan& plan() const { return m_plan; }

private:
    HRESULT checkRepository(unsigned int* hasUpdate, int* code, BSTR* reason, BSTR* list);
    HRESULT updateFromRepository(int* code, const std::string& appname, std::shared_ptr<Sink> sink);

    std::string m_name;
    FlavourPlan m_plan;
    RepositoryPlan m_repository;
    std::vector<Package> m_offers;
    int m_checks = 0;
    std::string m_appname;
    int m_bits = 0;
};

} // namespace qorcore
