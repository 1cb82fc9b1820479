#include "HostServices.h"

#include <ZubDebugLogUtils.h>

namespace {
QString environmentOr(const char* name, const QString& fallback)
{
    const QString value = qEnvironmentVariable(name);
    return value.isEmpty() ? fallback : value;
}
} // namespace

void DemoUserActionLog::logUserAction(const QString& action)
{
    ZubDebugLogUtils::getInstance()->info(QStringLiteral("user action: ") + action,
                                          QStringLiteral(__FILE__), QStringLiteral("logUserAction"),
                                          __LINE__);
}

IZubUserActionLogService* DemoUserActionLog::getUserActionLogService()
{
    return this;
}

DemoZubService::DemoZubService(const QString& text)
    : m_text(text)
{}

IZubHostObject* DemoZubService::getHostObject()
{
    return this;
}

const QString& DemoZubService::getText() const
{
    return m_text;
}

DemoTovService::DemoTovService(const QString& text)
    : m_text(text)
{}

QString DemoTovService::getText()
{
    return m_text;
}

DemoMainForm::DemoMainForm()
    : m_zubService(environmentOr("ZUBHOST_USER1", QStringLiteral("demo-user")))
    , m_tovService(environmentOr("ZUBHOST_USER2", QStringLiteral("demo-session")))
{}

ITovService* DemoMainForm::getTovService()
{
    return &m_tovService;
}

IZubUserActionLogProvider* DemoMainForm::getUserActionLogProvider()
{
    return &m_userActionLog;
}

IZubService* DemoMainForm::getZubService()
{
    return &m_zubService;
}

ITovMainForm* DemoUpdateHost::getMainForm()
{
    return &m_mainForm;
}
