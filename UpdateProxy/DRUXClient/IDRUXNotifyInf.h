#pragma once
#include <QObject>

// The plug-in's receiver of update stage reports. notifyProgress runs on the
// platform's notifying thread, so an implementation must be safe there.
class IDRUXNotifyInf : public QObject
{
public:
    IDRUXNotifyInf() : QObject(nullptr) {}

    virtual void notifyProgress(int stage, int percent) = 0;
};
