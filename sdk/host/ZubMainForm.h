#pragma once
#include "ZubHostExport.h"
#include <QString>

// Run-time host objects handed to an update request.

class ZUB_INTERFACE IZubUserActionLogService
{
public:
    virtual ~IZubUserActionLogService() {}
    virtual void logUserAction(const QString& action) = 0;
};

class ZUB_INTERFACE IZubUserActionLogProvider
{
public:
    virtual ~IZubUserActionLogProvider() {}
    virtual IZubUserActionLogService* getUserActionLogService() = 0;
};

// A host object of the Zub service; its text is the first user string.
class ZUB_INTERFACE IZubHostObject
{
public:
    virtual ~IZubHostObject() {}
    virtual const QString& getText() const = 0;
};

class ZUB_INTERFACE IZubService
{
public:
    virtual ~IZubService() {}
    virtual IZubHostObject* getHostObject() = 0;
};

// The Tov service; its text is the second user string.
class ZUB_INTERFACE ITovService
{
public:
    virtual ~ITovService() {}
    virtual QString getText() = 0;
};

class ZUB_INTERFACE ITovMainForm
{
public:
    virtual ~ITovMainForm() {}
    virtual ITovService* getTovService() = 0;
    virtual IZubUserActionLogProvider* getUserActionLogProvider() = 0;
};

// The host's main form implements this beside ITovMainForm.
class ZUB_INTERFACE IZubMainForm
{
public:
    virtual ~IZubMainForm() {}
    virtual IZubService* getZubService() = 0;
};

// The `host` argument of an update request.
class ZUB_INTERFACE IZubUpdateHost
{
public:
    virtual ~IZubUpdateHost() {}
    virtual ITovMainForm* getMainForm() = 0;
};
