// A local server of one small automation object, run by the local server's
// own code: what the program sends comes back as it arrived, so the calls
// cross a real process boundary through the system's marshaler and the test
// sees what the other side received.
//   Echo(x)               x as it arrived
//   Element(array, r, c)  the element at (r, c), read on the server's side
//   Value                 a property; a put needs the named argument
//   Fail(text)            DISP_E_EXCEPTION with the text and a source
//   Nothing               a null object reference
//   Twin                  a new object of this kind
#include <windows.h>

#include <string>

#include "office/localserver/LocalServer.h"
#include "office/localserver/ServerLifetime.h"

namespace {

const ServedClass kEchoClass = {
    L"Tolvane.EchoTest", {0x7b0e33c2, 0x58a1, 0x4f0e, {0x8d, 0x2c, 0x61, 0x0f, 0x9a, 0x3e, 0x11, 0x47}},
    L"Tolvane echo test object"};

enum Member : DISPID { kEcho = 1, kElement, kValue, kFail, kNothing, kTwin };

class Echo : public IDispatch {
public:
    Echo()
    {
        VariantInit(&value);
        server_lifetime::Lock();
    }
    virtual ~Echo()
    {
        VariantClear(&value);
        server_lifetime::Unlock();
    }
    Echo(const Echo&) = delete;
    Echo& operator=(const Echo&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = InterlockedDecrement(&references);
        if (left == 0) {
            delete this;
        }
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return DISP_E_BADINDEX; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        static const wchar_t* const known[] = {L"Echo", L"Element", L"Value", L"Fail", L"Nothing", L"Twin"};
        for (UINT n = 0; n < count; ++n) {
            ids[n] = DISPID_UNKNOWN;
        }
        for (int i = 0; i < 6; ++i) {
            if (count > 0 && _wcsicmp(names[0], known[i]) == 0) {
                ids[0] = kEcho + i;
                return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
            }
        }
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* info, UINT*) override
    {
        const UINT count = params->cArgs;
        // Arguments arrive last first.
        auto arg = [&](UINT i) -> VARIANT& { return params->rgvarg[count - 1 - i]; };
        VARIANT ignored;
        VariantInit(&ignored);
        VARIANT* out = result != nullptr ? result : &ignored;
        switch (id) {
        case kEcho:
            return count == 1 ? VariantCopy(out, &arg(0)) : DISP_E_BADPARAMCOUNT;
        case kElement: {
            if (count != 3 || arg(0).vt != (VT_ARRAY | VT_VARIANT)) {
                return DISP_E_TYPEMISMATCH;
            }
            LONG at[2] = {arg(1).lVal, arg(2).lVal};
            return SafeArrayGetElement(arg(0).parray, at, out);
        }
        case kValue:
            if (flags & DISPATCH_PROPERTYPUT) {
                if (params->cNamedArgs != 1 || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT || count != 1) {
                    return DISP_E_PARAMNOTFOUND;
                }
                return VariantCopy(&value, &params->rgvarg[0]);
            }
            return VariantCopy(out, &value);
        case kFail:
            if (info != nullptr) {
                *info = EXCEPINFO{};
                info->bstrSource = SysAllocString(L"Echo");
                info->bstrDescription = SysAllocString(
                    (std::wstring(L"refused: ") + (count == 1 && arg(0).vt == VT_BSTR ? arg(0).bstrVal : L"?")).c_str());
                info->scode = DISP_E_EXCEPTION;
            }
            return DISP_E_EXCEPTION;
        case kNothing:
            out->vt = VT_DISPATCH;
            out->pdispVal = nullptr;
            return S_OK;
        case kTwin:
            out->vt = VT_DISPATCH;
            out->pdispVal = new Echo;
            return S_OK;
        default:
            return DISP_E_MEMBERNOTFOUND;
        }
    }

private:
    LONG references = 1;
    VARIANT value;
};

HRESULT CreateEcho(REFIID riid, void** object)
{
    Echo* echo = new Echo;
    const HRESULT result = echo->QueryInterface(riid, object);
    echo->Release();
    return result;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return RunLocalServer({{kEchoClass, CreateEcho}}); }
