#pragma once
#include <ZubMainForm.h>

#include <QString>

// A host as the plug-in meets it in an update request: its main form (both
// the Tov and the Zub side), itself the two user services and the user-action
// log provider, each of which can be left out.
class FakeHost
    : public IZubUpdateHost
    , public ITovMainForm
    , public IZubMainForm
    , public IZubService
    , public IZubHostObject
    , public ITovService
    , public IZubUserActionLogProvider
    , public IZubUserActionLogService
{
public:
    enum class Form { Own, Foreign, None };

    ITovMainForm* getMainForm() override
    {
        ++mainFormAsked;
        if (form == Form::Own)
            return this;
        return form == Form::Foreign ? &m_foreign : nullptr;
    }
    ITovService* getTovService() override { return tov ? this : nullptr; }
    IZubService* getZubService() override { return zub ? this : nullptr; }
    IZubUserActionLogProvider* getUserActionLogProvider() override
    {
        return logProvider ? this : nullptr;
    }
    IZubHostObject* getHostObject() override { return this; }
    const QString& getText() const override { return zubText; }
    QString getText() override { return tovText; }
    IZubUserActionLogService* getUserActionLogService() override { return this; }
    void logUserAction(const QString&) override {}
    const IZubUserActionLogService* logService() const { return this; }

    Form form = Form::Own;
    bool tov = true;
    bool zub = true;
    bool logProvider = true;
    QString zubText = "user-one";
    QString tovText = "user-two";
    int mainFormAsked = 0;

private:
    // A main form of another suite, without the Zub side.
    struct ForeignForm : ITovMainForm
    {
        ITovService* getTovService() override { return nullptr; }
        IZubUserActionLogProvider* getUserActionLogProvider() override { return nullptr; }
    } m_foreign;
};
