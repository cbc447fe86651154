// The IUnknown half of an automation object, and the parts of IDispatch that
// no object here offers (type information): shared by every IDispatch we implement.
#pragma once

#include <atomic>

#include <ole2.h>

class DispatchBase : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;

    // A local server lives as long as any object it served, or any object
    // those made, lives: it counts them through these, set before the first
    // object is made. Without them an object costs no more than its count.
    static void WatchLifetimes(void (*created)(), void (*destroyed)());

protected:
    // A new object holds one reference, for its creator.
    DispatchBase();
    virtual ~DispatchBase();
    DispatchBase(const DispatchBase&) = delete;
    DispatchBase& operator=(const DispatchBase&) = delete;

    ULONG ReferenceCount() const { return references; }

private:
    std::atomic<ULONG> references{1};
};
