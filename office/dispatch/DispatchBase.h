// The IUnknown half of an automation object, and the parts of IDispatch that
// no object here offers (type information): shared by every IDispatch we implement.
#pragma once

#include <atomic>

#include "platform/com/ole2.h"

class DispatchBase : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;

protected:
    // A new object holds one reference, for its creator.
    DispatchBase() = default;
    ~DispatchBase() override = default;
    DispatchBase(const DispatchBase&) = delete;
    DispatchBase& operator=(const DispatchBase&) = delete;

    ULONG ReferenceCount() const { return references; }

private:
    std::atomic<ULONG> references{1};
};
