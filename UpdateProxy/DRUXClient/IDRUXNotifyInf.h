#pragma once
#include <QObject>

#include <memory>
#include <mutex>

class IDRUXNotifyInf;

// How a sink reaches its receiver. The platform keeps reporting after the
// receiver may be gone (the host can drop the plug-in's objects while an
// update runs), and a later receiver may be built at the same address, so a
// sink holds the token of the receiver it was handed, never its address.
// The receiver owns the token and clears it as it ends; its lock makes a
// report and the clearing exclude each other.
class ReceiverToken
{
public:
    explicit ReceiverToken(IDRUXNotifyInf* receiver);
    ReceiverToken(const ReceiverToken&) = delete;
    ReceiverToken& operator=(const ReceiverToken&) = delete;

    // Hands a stage report on while the receiver still takes reports.
    void deliver(int stage, int percent);
    // No report reaches the receiver once this returns; waits for one in progress.
    void clear();

private:
    std::mutex m_lock;
    IDRUXNotifyInf* m_pReceiver;
};

// The plug-in's receiver of update stage reports. notifyProgress runs on the
// platform's notifying thread, so an implementation must be safe there.
class IDRUXNotifyInf : public QObject
{
public:
    IDRUXNotifyInf();
    ~IDRUXNotifyInf() override;

    virtual void notifyProgress(int stage, int percent) = 0;

    // What a sink keeps of this receiver.
    std::shared_ptr<ReceiverToken> token() const;

protected:
    // Takes no more reports; waits for one in progress. A derived class calls
    // it first in its destructor, before its own parts go.
    void endNotifications();

private:
    const std::shared_ptr<ReceiverToken> m_pToken;
};
