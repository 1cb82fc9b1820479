#pragma once
#include "ZubHostExport.h"
#include <QString>

class ZUB_INTERFACE IServiceFactory
{
public:
    virtual ~IServiceFactory() {}
    virtual QString serviceName() = 0;
};
