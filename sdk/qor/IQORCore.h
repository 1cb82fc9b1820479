#pragma once
#include <windows.h>
#include <unknwn.h>

// The core's root object: slot 2 Release, slot 3 CreateInstance.
struct IQORCore : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE CreateInstance(REFCLSID clsid, REFIID iid, void** object) = 0;
};

// The core library's class-object entry, exported by name.
typedef HRESULT(STDAPICALLTYPE* DllGetClassObjectFunc)(REFCLSID clsid, REFIID iid, void** object);
