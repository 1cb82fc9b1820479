#pragma once
#include <windows.h>
#include <oleauto.h>

// Callbacks of an accepted update, on the platform's threads. No IUnknown:
// slot 0 NotifyResult, slot 1 NotifyStage, slot 2 Release (once, last).
struct IDruxNotify
{
    virtual HRESULT STDMETHODCALLTYPE NotifyResult(unsigned int error, BSTR text1, BSTR text2,
                                                   int bits, int result) = 0;
    virtual HRESULT STDMETHODCALLTYPE NotifyStage(unsigned int error, BSTR text1, BSTR text2,
                                                  int bits, int stage, int percent) = 0;
    virtual HRESULT STDMETHODCALLTYPE Release() = 0;
};
