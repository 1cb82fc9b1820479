#pragma once
#include <windows.h>
#include <oleauto.h>

#include "Scenario.h"

#include <qor/IDruxNotify.h>

#include <functional>
#include <memory>
#include <string>

namespace qorcore {

// The sink of one accepted update: numbered, every call journaled, released
// exactly once.
class Sink
{
public:
    explicit Sink(IDruxNotify* notify);
    Sink(const Sink&) = delete;
    Sink& operator=(const Sink&) = delete;

    int id() const { return m_id; }
    void stage(int thread, unsigned int error, BSTR text1, BSTR text2, int bits, int stage,
               int percent);
    void result(int thread, unsigned int error, BSTR text1, BSTR text2, int bits, int result);
    void release();

private:
    IDruxNotify* m_notify;
    int m_id;
};

// Runs `work` on a thread of the core's own, joined when the library unloads.
void runOnCoreThread(std::function<void()> work);
// The core's threads whose work is not over yet.
int runningCoreThreads();

// Sends an accepted update's reports on its threads, then releases the sink.
void playScript(const UpdatePlan& plan, std::shared_ptr<Sink> sink, const std::string& appname,
                int bits);

} // namespace qorcore
