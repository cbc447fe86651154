#include "office/localserver/ClassFactory.h"

#include "office/localserver/ServerLifetime.h"

ClassFactory::ClassFactory(Create create, void (*served)()) : create(create), served(served) {}

HRESULT ClassFactory::QueryInterface(REFIID riid, void** object)
{
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
        *object = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

// The factory is never freed: COM's references to it need no count.
ULONG ClassFactory::AddRef() { return 2; }

ULONG ClassFactory::Release() { return 1; }

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** object)
{
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (outer != nullptr) {
        return CLASS_E_NOAGGREGATION;
    }
    // Held across the creation, so an object that fails its QueryInterface
    // and dies at once does not end the server before the caller hears why.
    server_lifetime::Lock();
    HRESULT result = E_UNEXPECTED;
    try {
        result = create(riid, object);
    } catch (...) {
        result = E_OUTOFMEMORY;
    }
    if (SUCCEEDED(result) && served != nullptr) {
        served();
    }
    server_lifetime::Unlock();
    return result;
}

HRESULT ClassFactory::LockServer(BOOL lock)
{
    if (lock) {
        server_lifetime::Lock();
    } else {
        server_lifetime::Unlock();
    }
    return S_OK;
}
