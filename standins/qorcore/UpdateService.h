#pragma once
#include "ComObject.h"
#include "Journal.h"
#include "ServiceLogic.h"

#include <qor/IDruxClient2.h>
#include <qor/IDruxClientUserid.h>
#include <qor/QorIds.h>

namespace qorcore {

// The operations both service interfaces have, in their own slots.
template <class Interface>
class UpdateService : public ComObject<Interface>
{
public:
    UpdateService(const char* name, REFIID iid, const FlavourPlan& plan,
                  const RepositoryPlan& repository)
        : ComObject<Interface>(name, iid)
        , m_logic(name, plan, repository)
    {}

    HRESULT STDMETHODCALLTYPE Start(int* code, BSTR appname, int bits) override
    {
        return m_logic.start(code, appname, bits);
    }
    HRESULT STDMETHODCALLTYPE CheckUpdate(int* code, unsigned int* hasUpdate, BSTR* reason,
                                          BSTR* list) override
    {
        return m_logic.check(m_logic.plan().check, m_logic.name() + ".CheckUpdate", code, hasUpdate,
                             reason, list);
    }
    HRESULT STDMETHODCALLTYPE DoUpdate(int* code, BSTR appname, int bits,
                                       IDruxNotify* notify) override
    {
        return m_logic.doUpdate(code, appname, bits, notify);
    }
    HRESULT STDMETHODCALLTYPE Stop(int* code) override { return m_logic.stop(code); }

protected:
    ServiceLogic m_logic;
};

class ProductService final : public UpdateService<IDruxClient2>
{
public:
    ProductService(const FlavourPlan& plan, const RepositoryPlan& repository)
        : UpdateService("DruxClient2", IID_IDruxClient2, plan, repository)
    {}
};

class UserService final : public UpdateService<IDruxClientUserid>
{
public:
    UserService(const FlavourPlan& plan, const RepositoryPlan& repository)
        : UpdateService("DruxClientUserid", IID_IDruxClientUserid, plan, repository)
    {}

    HRESULT STDMETHODCALLTYPE CheckUpdateForUser(BSTR user1, BSTR user2, int* code,
                                                 unsigned int* hasUpdate, BSTR* reason,
                                                 BSTR* list) override
    {
        return m_logic.check(m_logic.plan().checkForUser,
                             m_logic.name() + ".CheckUpdateForUser user1=" + quoted(user1) +
                                 " user2=" + quoted(user2),
                             code, hasUpdate, reason, list);
    }
};

} // namespace qorcore
