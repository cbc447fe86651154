#include "tests/support/TestClass.h"

#include <windows.h>

#include <atomic>
#include <map>
#include <stdexcept>
#include <vector>

#include "tests/support/OleText.h"

namespace {

class ClassFactory : public IClassFactory {
public:
    explicit ClassFactory(TestClass::Factory factory) : factory(std::move(factory)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (ppv == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *ppv = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --references;
        if (left == 0) {
            delete this;
        }
        return left;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override
    {
        if (ppv == nullptr) {
            return E_POINTER;
        }
        *ppv = nullptr;
        return outer != nullptr ? CLASS_E_NOAGGREGATION : factory(riid, ppv);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    virtual ~ClassFactory() = default;

    TestClass::Factory factory;
    std::atomic<ULONG> references{1};
};

// The CLSIDs this process has put under each ProgID, the latest last: a
// nested registration hides the outer one and gives it back when it ends.
std::map<OleString, std::vector<OleString>>& Registered()
{
    static std::map<OleString, std::vector<OleString>> registered;
    return registered;
}

OleString ClsidText(const CLSID& clsid)
{
    LPOLESTR text = nullptr;
    if (FAILED(StringFromCLSID(clsid, &text))) {
        throw std::runtime_error("StringFromCLSID failed");
    }
    OleString result(text);
    CoTaskMemFree(text);
    return result;
}

// Wine reads classes from the machine's part of the registry only, so the
// ProgID goes to HKEY_CLASSES_ROOT; an existing one (an installed office
// suite) is never replaced.
void WriteProgId(const OleString& progId, const OleString& clsid)
{
    const OleString key = progId + OLESTR("\\CLSID");
    std::vector<OleString>& stack = Registered()[progId];
    HKEY existing = nullptr;
    if (stack.empty() && RegOpenKeyExW(HKEY_CLASSES_ROOT, progId.c_str(), 0, KEY_READ, &existing) == ERROR_SUCCESS) {
        RegCloseKey(existing);
        throw std::runtime_error("the ProgID " + OleToUtf8(progId.data(), progId.size()) +
                                 " is registered already; the tests do not replace it");
    }
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS) {
        throw std::runtime_error("cannot write the ProgID " + OleToUtf8(progId.data(), progId.size()));
    }
    RegSetValueExW(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(clsid.c_str()),
                   DWORD((clsid.size() + 1) * sizeof(OLECHAR)));
    RegCloseKey(handle);
    stack.push_back(clsid);
}

void RestoreProgId(const OleString& progId)
{
    std::vector<OleString>& stack = Registered()[progId];
    stack.pop_back();
    if (stack.empty()) {
        RegDeleteTreeW(HKEY_CLASSES_ROOT, progId.c_str());
        return;
    }
    const OleString key = progId + OLESTR("\\CLSID");
    RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, stack.back().c_str(),
                    DWORD((stack.back().size() + 1) * sizeof(OLECHAR)));
}

CLSID FreshClsid()
{
    CLSID clsid;
    if (FAILED(CoCreateGuid(&clsid))) {
        throw std::runtime_error("CoCreateGuid failed");
    }
    return clsid;
}

}  // namespace

struct TestClass::Registration {
    OleString progId;
    bool comOpened = false;
    DWORD cookie = 0;
};

TestClass::TestClass(std::u16string_view progId, Factory factory) : registration(new Registration)
{
    registration->progId = ToOle(progId);
    const CLSID clsid = FreshClsid();
    WriteProgId(registration->progId, ClsidText(clsid));
    // Registration needs COM on this thread; the code under test opens it again and shares the apartment.
    registration->comOpened = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    auto* classFactory = new ClassFactory(std::move(factory));
    const HRESULT hr = CoRegisterClassObject(clsid, classFactory, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                             REGCLS_MULTIPLEUSE, &registration->cookie);
    classFactory->Release();
    if (FAILED(hr)) {
        RestoreProgId(registration->progId);
        if (registration->comOpened) {
            CoUninitialize();
        }
        throw std::runtime_error("CoRegisterClassObject failed");
    }
}

TestClass::TestClass(std::u16string_view progId) : registration(new Registration)
{
    registration->progId = ToOle(progId);
    WriteProgId(registration->progId, ClsidText(FreshClsid()));
}

TestClass::~TestClass()
{
    RestoreProgId(registration->progId);
    if (registration->cookie != 0) {
        CoRevokeClassObject(registration->cookie);
    }
    if (registration->comOpened) {
        CoUninitialize();
    }
}
