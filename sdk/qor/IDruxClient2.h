#pragma once
#include <windows.h>
#include <oleauto.h>
#include <unknwn.h>

struct IDruxNotify;

// Product-flavour update service. Every status is 0 on success; `code` is
// preset to -1 by the caller and may carry the platform's own code.
struct IDruxClient2 : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE Start(int* code, BSTR appname, int bits) = 0;
    virtual HRESULT STDMETHODCALLTYPE CheckUpdate(int* code, unsigned int* hasUpdate, BSTR* reason,
                                                  BSTR* list) = 0;
    virtual HRESULT STDMETHODCALLTYPE DoUpdate(int* code, BSTR appname, int bits,
                                               IDruxNotify* notify) = 0;
    virtual HRESULT STDMETHODCALLTYPE Stop(int* code) = 0;
};
