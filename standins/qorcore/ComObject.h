#pragma once
#include <windows.h>
#include <unknwn.h>

#include "Journal.h"

#include <atomic>
#include <string>

namespace qorcore {

// Reference counting and QueryInterface for one interface; the journal gets
// a line for each Release that ends the object.
template <class Interface>
class ComObject : public Interface
{
public:
    ComObject(std::string name, REFIID iid)
        : m_name(std::move(name))
        , m_iid(iid)
    {}
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != m_iid)
            return E_NOINTERFACE;
        AddRef();
        *object = static_cast<Interface*>(this);
        return S_OK;
    }

    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }

    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_references;
        if (left == 0) {
            journal(m_name + ".Release");
            delete this;
        }
        return left;
    }

protected:
    virtual ~ComObject() = default;
    const std::string& name() const { return m_name; }

private:
    std::string m_name;
    const IID m_iid;
    std::atomic<ULONG> m_references{1};
};

} // namespace qorcore
