#pragma once
#include "ModuleRegistry.h"
#include "ProcessEndGate.h"
#include "QORClient.h"

#include <libdruxclient/CriticalSection.h>
#include <libdruxclient/qorlog.h>

#include <atomic>
#include <new>
#include <utility>

namespace QORCLIENT {

// One object made by the first caller and published to every later one: the
// publication is a release store, the unlocked read an acquire load. Nothing
// here ends the object; its holder does.
template <class T>
class Once
{
public:
    Once() = default;
    Once(const Once&) = delete;
    Once& operator=(const Once&) = delete;

    template <class... Args>
    T& get(Args&&... args)
    {
        T* made = m_made.load(std::memory_order_acquire);
        if (made)
            return *made;
        ScopedLock lock(m_creation);
        made = m_made.load(std::memory_order_relaxed);
        if (!made) {
            made = new (m_storage) T(std::forward<Args>(args)...);
            m_made.store(made, std::memory_order_release);
        }
        return *made;
    }
    // Null until get() made the object.
    T* made() const { return m_made.load(std::memory_order_acquire); }

private:
    CriticalSection m_creation;
    std::atomic<T*> m_made{nullptr};
    alignas(T) unsigned char m_storage[sizeof(T)];
};

// The client layer's process-wide objects, one owner for all. The members are
// torn down in the reverse order of their declaration, whatever order the
// first requests made them in: the client releases the core and says
// "QORClient dtor", the logger stops ("qorlog stop"), the registry unloads the
// core library. Once the gate says the process is ending, each of them only
// says goodbye: no call into another library, none freed, no wait.
class ProcessObjects
{
public:
    ProcessObjects() = default;
    ~ProcessObjects() = default;
    ProcessObjects(const ProcessObjects&) = delete;
    ProcessObjects& operator=(const ProcessObjects&) = delete;

    // The process-wide objects, built at static initialisation.
    static ProcessObjects& processWide();

    // The first call makes the logger with these arguments; later calls ignore them.
    qorlog& logger(const char* directory, const char* name, const char* eventBase);
    QORClient& client();
    void processEnding() { m_end.processEnding(); }

private:
    // Stops the logger, if it was made, when it goes.
    class LoggerSlot : public Once<qorlog>
    {
    public:
        explicit LoggerSlot(const ProcessEndGate& end)
            : m_end(end)
        {}
        ~LoggerSlot();

    private:
        const ProcessEndGate& m_end;
    };

    // Destroys the client, if it was made, when it goes.
    class ClientSlot : public Once<QORClient>
    {
    public:
        ~ClientSlot();
    };

    ProcessEndGate m_end;
    ModuleRegistry m_modules{m_end};
    LoggerSlot m_logger{m_end};
    ClientSlot m_client;
};

} // namespace QORCLIENT
