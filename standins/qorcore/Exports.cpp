// The library's exports: the class-object entry and the journal for tests.
#include <windows.h>
#include <unknwn.h>

#include "ClassFactory.h"
#include "Journal.h"
#include "Reports.h"
#include "ScenarioFile.h"

#include <qor/QorIds.h>

#include <map>
#include <mutex>
#include <string>
#include <thread>

extern "C" QORCORE_EXPORT HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid,
                                                                   void** object)
{
    using namespace qorcore;
    journal("DllGetClassObject clsid=" + guidText(clsid) + " iid=" + guidText(iid));
    if (!object)
        return E_POINTER;
    *object = nullptr;
    Scenario scenario;
    if (!loadScenario(scenario))
        return kScenarioUnusable;
    if (clsid != CLSID_QORCore)
        return CLASS_E_CLASSNOTAVAILABLE;
    const LoaderPlan& plan = scenario.loader;
    if (FAILED(plan.classObject) || plan.nullClassObject)
        return plan.classObject;
    if (iid != IID_IClassFactory && iid != IID_IUnknown)
        return E_NOINTERFACE;
    *object = static_cast<IClassFactory*>(new ClassFactory(plan));
    return plan.classObject;
}

// Every call the core was asked so far, one line each. The text stays valid
// until the calling thread asks again. The copies are kept per thread in
// ordinary storage, not thread-local storage: this library is unloaded before
// the process ends, and a thread-local block of an unloaded library is left
// behind in the thread's table, where the leak checker's scan at exit trips
// over it.
extern "C" QORCORE_EXPORT const char* qorcore_journal()
{
    static std::mutex lock;
    static std::map<std::thread::id, std::string> snapshots;
    std::string text = qorcore::journalText();
    const std::lock_guard<std::mutex> hold(lock);
    std::string& snapshot = snapshots[std::this_thread::get_id()];
    snapshot.swap(text);
    return snapshot.c_str();
}

extern "C" QORCORE_EXPORT void qorcore_journal_clear()
{
    qorcore::clearJournal();
}

// How many of the core's threads (reports, releases) are still at work.
extern "C" QORCORE_EXPORT int qorcore_running_threads()
{
    return qorcore::runningCoreThreads();
}
