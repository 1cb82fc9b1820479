#pragma once
#include <ZubMainForm.h>

// The demo host's run-time objects handed to an update request: a main form
// that is both ITovMainForm and IZubMainForm, its two services with the user
// strings, and a user-action log that writes to the host's debug log.

class DemoUserActionLog
    : public IZubUserActionLogService
    , public IZubUserActionLogProvider
{
public:
    void logUserAction(const QString& action) override;
    IZubUserActionLogService* getUserActionLogService() override;
};

class DemoZubService
    : public IZubService
    , public IZubHostObject
{
public:
    explicit DemoZubService(const QString& text);
    IZubHostObject* getHostObject() override;
    const QString& getText() const override;

private:
    QString m_text;
};

class DemoTovService : public ITovService
{
public:
    explicit DemoTovService(const QString& text);
    QString getText() override;

private:
    QString m_text;
};

class DemoMainForm
    : public ITovMainForm
    , public IZubMainForm
{
public:
    // The user strings come from ZUBHOST_USER1 and ZUBHOST_USER2, or demo values.
    DemoMainForm();
    ITovService* getTovService() override;
    IZubUserActionLogProvider* getUserActionLogProvider() override;
    IZubService* getZubService() override;

private:
    DemoZubService m_zubService;
    DemoTovService m_tovService;
    DemoUserActionLog m_userActionLog;
};

class DemoUpdateHost : public IZubUpdateHost
{
public:
    ITovMainForm* getMainForm() override;

private:
    DemoMainForm m_mainForm;
};
