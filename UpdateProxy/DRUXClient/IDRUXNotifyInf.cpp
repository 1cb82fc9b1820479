#include "IDRUXNotifyInf.h"

#include <mutex>
#include <unordered_set>

namespace {
std::mutex g_receiversLock;
std::unordered_set<const IDRUXNotifyInf*> g_receivers;
} // namespace

IDRUXNotifyInf::IDRUXNotifyInf()
    : QObject(nullptr)
{
    const std::lock_guard<std::mutex> hold(g_receiversLock);
    g_receivers.insert(this);
}

IDRUXNotifyInf::~IDRUXNotifyInf()
{
    endNotifications();
}

void IDRUXNotifyInf::deliver(IDRUXNotifyInf* receiver, int stage, int percent)
{
    const std::lock_guard<std::mutex> hold(g_receiversLock);
    if (g_receivers.count(receiver) != 0)
        receiver->notifyProgress(stage, percent);
}

void IDRUXNotifyInf::endNotifications()
{
    const std::lock_guard<std::mutex> hold(g_receiversLock);
    g_receivers.erase(this);
}
