// IUnknown: reference counting and interface queries, the root of every object.
#pragma once

#include "platform/com/comerror.h"
#include "platform/com/guiddef.h"

struct IUnknown {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;

protected:
    // Objects die through Release, never through delete on an interface pointer.
    virtual ~IUnknown() = default;
};
typedef IUnknown* LPUNKNOWN;
