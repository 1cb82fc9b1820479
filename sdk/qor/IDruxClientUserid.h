#pragma once
#include <windows.h>
#include <oleauto.h>
#include <unknwn.h>

struct IDruxNotify;

// User-flavour update service. CheckUpdateForUser takes its two input
// strings before `code`.
struct IDruxClientUserid : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE Start(int* code, BSTR appname, int bits) = 0;
    virtual HRESULT STDMETHODCALLTYPE CheckUpdateForUser(BSTR user1, BSTR user2, int* code,
                                                         unsigned int* hasUpdate, BSTR* reason,
                                                         BSTR* list) = 0;
    virtual HRESULT STDMETHODCALLTYPE CheckUpdate(int* code, unsigned int* hasUpdate, BSTR* reason,
                                                  BSTR* list) = 0;
    virtual HRESULT STDMETHODCALLTYPE DoUpdate(int* code, BSTR appname, int bits,
                                               IDruxNotify* notify) = 0;
    virtual HRESULT STDMETHODCALLTYPE Stop(int* code) = 0;
};
