#pragma once
#include "ZubHostExport.h"

class IZubUserActionLogService;

class ZUB_COMMON_EXPORT ZubUserActionLogUtils
{
public:
    static void setUserActionLogService(IZubUserActionLogService* service);
    static IZubUserActionLogService* userActionLogService();
};
