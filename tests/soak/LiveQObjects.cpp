#include "LiveQObjects.h"

#include <QObject>

#include <atomic>

// Qt's table of hooks for debugging tools (qhooks_p.h): version, size, Qt
// version, then the calls made for each QObject constructed and destroyed.
extern quintptr Q_CORE_EXPORT qtHookData[];

namespace {

enum Hook { kAddQObject = 3, kRemoveQObject = 4 };
using ObjectHook = void (*)(QObject*);

std::atomic<long> g_live{0};
quintptr g_previous[2] = {};

void chained(Hook hook, QObject* object)
{
    if (const quintptr previous = g_previous[hook - kAddQObject])
        reinterpret_cast<ObjectHook>(previous)(object);
}

void added(QObject* object)
{
    ++g_live;
    chained(kAddQObject, object);
}

void removed(QObject* object)
{
    --g_live;
    chained(kRemoveQObject, object);
}

} // namespace

LiveQObjects::LiveQObjects()
{
    g_live = 0;
    g_previous[0] = qtHookData[kAddQObject];
    g_previous[1] = qtHookData[kRemoveQObject];
    qtHookData[kAddQObject] = reinterpret_cast<quintptr>(&added);
    qtHookData[kRemoveQObject] = reinterpret_cast<quintptr>(&removed);
}

LiveQObjects::~LiveQObjects()
{
    qtHookData[kAddQObject] = g_previous[0];
    qtHookData[kRemoveQObject] = g_previous[1];
}

long LiveQObjects::count() const
{
    return g_live.load();
}
