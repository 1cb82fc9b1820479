#pragma once
#include <QObject>

// The plug-in's receiver of update stage reports. notifyProgress runs on the
// platform's notifying thread, so an implementation must be safe there.
class IDRUXNotifyInf : public QObject
{
public:
    IDRUXNotifyInf();
    ~IDRUXNotifyInf() override;

    virtual void notifyProgress(int stage, int percent) = 0;

    // How the sinks reach a receiver: the platform keeps reporting after its
    // receiver may be gone (the host can drop the plug-in's objects while an
    // update runs), so a report reaches only a receiver that is still taking
    // reports, and a receiver ends only between two reports.
    static void deliver(IDRUXNotifyInf* receiver, int stage, int percent);

protected:
    // Takes no more reports; waits for one in progress. A derived class calls
    // it first in its destructor, before its own parts go.
    void endNotifications();
};
