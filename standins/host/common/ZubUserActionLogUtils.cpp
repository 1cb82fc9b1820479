#include <ZubUserActionLogUtils.h>
#include "ZubHostTesting.h"

#include <atomic>

namespace {
std::atomic<IZubUserActionLogService*> g_service{nullptr};
std::atomic<int> g_setCount{0};
} // namespace

void ZubUserActionLogUtils::setUserActionLogService(IZubUserActionLogService* service)
{
    g_service = service;
    ++g_setCount;
}

IZubUserActionLogService* ZubUserActionLogUtils::userActionLogService()
{
    return g_service;
}

int ZubHostTesting::userActionLogServiceSetCount()
{
    return g_setCount;
}

void ZubHostTesting::resetUserActionLogService()
{
    g_service = nullptr;
    g_setCount = 0;
}
