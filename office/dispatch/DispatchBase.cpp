#include "office/dispatch/DispatchBase.h"

namespace {

void (*objectCreated)() = nullptr;
void (*objectDestroyed)() = nullptr;

}  // namespace

void DispatchBase::WatchLifetimes(void (*created)(), void (*destroyed)())
{
    objectCreated = created;
    objectDestroyed = destroyed;
}

DispatchBase::DispatchBase()
{
    if (objectCreated != nullptr) {
        objectCreated();
    }
}

DispatchBase::~DispatchBase()
{
    if (objectDestroyed != nullptr) {
        objectDestroyed();
    }
}

HRESULT DispatchBase::QueryInterface(REFIID riid, void** ppvObject)
{
    if (ppvObject == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
        *ppvObject = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

ULONG DispatchBase::AddRef() { return ++references; }

ULONG DispatchBase::Release()
{
    const ULONG left = --references;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT DispatchBase::GetTypeInfoCount(UINT* pctinfo)
{
    if (pctinfo == nullptr) {
        return E_INVALIDARG;
    }
    *pctinfo = 0;
    return S_OK;
}

HRESULT DispatchBase::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo)
{
    if (ppTInfo != nullptr) {
        *ppTInfo = nullptr;
    }
    return DISP_E_BADINDEX;
}
