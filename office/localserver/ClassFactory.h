// The class object the local server registers for one class. It lives as long
// as the process; the objects it makes count in the server's lock count
// themselves, LockServer counts there too.
#pragma once

#include <windows.h>

class ClassFactory : public IClassFactory {
public:
    using Create = HRESULT (*)(REFIID riid, void** object);

    // `served` runs after every object handed out.
    ClassFactory(Create create, void (*served)());

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    Create create;
    void (*served)();
};
