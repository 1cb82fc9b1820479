#pragma once
#include <IBundlerActivator.h>
#include <ZubMainForm.h>

#include <gmock/gmock.h>

// The host's own interfaces, as an update request reaches them.

class MockHostObject : public IZubHostObject
{
public:
    MOCK_METHOD(const QString&, getText, (), (const, override));
};

class MockZubService : public IZubService
{
public:
    MOCK_METHOD(IZubHostObject*, getHostObject, (), (override));
};

class MockTovService : public ITovService
{
public:
    MOCK_METHOD(QString, getText, (), (override));
};

class MockUserActionLogService : public IZubUserActionLogService
{
public:
    MOCK_METHOD(void, logUserAction, (const QString& action), (override));
};

class MockUserActionLogProvider : public IZubUserActionLogProvider
{
public:
    MOCK_METHOD(IZubUserActionLogService*, getUserActionLogService, (), (override));
};

// The suite's main form is both of these.
class MockMainForm
    : public ITovMainForm
    , public IZubMainForm
{
public:
    MOCK_METHOD(ITovService*, getTovService, (), (override));
    MOCK_METHOD(IZubUserActionLogProvider*, getUserActionLogProvider, (), (override));
    MOCK_METHOD(IZubService*, getZubService, (), (override));
};

// A main form of another suite, without the Zub side.
class MockTovOnlyMainForm : public ITovMainForm
{
public:
    MOCK_METHOD(ITovService*, getTovService, (), (override));
    MOCK_METHOD(IZubUserActionLogProvider*, getUserActionLogProvider, (), (override));
};

class MockUpdateHost : public IZubUpdateHost
{
public:
    MOCK_METHOD(ITovMainForm*, getMainForm, (), (override));
};

class MockBundleContext : public IBundleContext
{
public:
    MOCK_METHOD(void, registerServiceFactory, (IServiceFactory * factory), (override));
};
