#include "tests/support/DispatchDriver.h"

#include <cstdio>
#include <stdexcept>

#include "tests/support/OleText.h"
#include "tests/support/Variants.h"

namespace dispatch_test {
namespace {

[[noreturn]] void Throw(const std::string& what)
{
    throw std::runtime_error(what);
}

FailureReport failureReport = Throw;

void Fail(const std::string& what)
{
    failureReport(what);
}

std::string Hex(HRESULT hr)
{
    char text[24];
    std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(hr));
    return text;
}

ComPtr<IDispatch> ObjectOf(const Var& result)
{
    return result.value.vt == VT_DISPATCH ? ComPtr<IDispatch>(result.value.pdispVal) : ComPtr<IDispatch>();
}

// Invoke, telling the typed getters whether a failure has been reported
// already, so that one failed call makes one report.
Var Run(IDispatch* object, const char16_t* member, WORD kind, std::initializer_list<Var> args, Outcome* outcome,
        bool& reported)
{
    reported = false;
    Var result;
    if (!object) {
        if (outcome) {
            *outcome = {E_POINTER, "null object"};
        }
        Fail("call on a null object: " + TextToUtf8(member));
        reported = true;
        return result;
    }
    DISPID id;
    OleString spelled = ToOle(member);
    LPOLESTR name = spelled.data();
    HRESULT hr = object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) {
        if (outcome) {
            *outcome = {hr, "unknown name"};
        } else {
            Fail("GetIDsOfNames " + TextToUtf8(member) + " failed " + Hex(hr));
            reported = true;
        }
        return result;
    }
    // Arguments go in reverse order, as IDispatch wants them.
    std::vector<VARIANT> reversed;
    for (auto it = std::rbegin(args); it != std::rend(args); ++it) {
        reversed.push_back(it->value);
    }
    DISPID putId = DISPID_PROPERTYPUT;
    bool put = kind == DISPATCH_PROPERTYPUT;
    DISPPARAMS params{reversed.data(), put ? &putId : nullptr, UINT(reversed.size()), put ? 1u : 0u};
    EXCEPINFO info{};
    UINT argError = 0;
    hr = object->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, kind, &params, &result.value, &info, &argError);
    std::string description = BstrToUtf8(info.bstrDescription);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrHelpFile);
    if (outcome) {
        *outcome = {hr, description};
    } else if (FAILED(hr)) {
        Fail(TextToUtf8(member) + " failed " + Hex(hr) + ": " + description);
        reported = true;
    }
    return result;
}

}  // namespace

Var::Var(int number) : value(IntVariant(number)) {}

Var::Var(double number)
{
    VariantInit(&value);
    value.vt = VT_R8;
    value.dblVal = number;
}

Var::Var(bool flag)
{
    VariantInit(&value);
    value.vt = VT_BOOL;
    value.boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
}

Var::Var(const char* utf8)
{
    VariantInit(&value);
    OleString text = Utf8ToOle(utf8);
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocStringLen(text.data(), UINT(text.size()));
}

Var::Var(const char16_t* text) : value(TextVariant(text)) {}

Var::Var(IDispatch* object)
{
    VariantInit(&value);
    value.vt = VT_DISPATCH;
    value.pdispVal = object;
    if (object) {
        object->AddRef();
    }
}

Var::Var(const Var& other)
{
    VariantInit(&value);
    CopyVariant(&value, other.value);
}

Var Var::Column(const std::vector<std::string>& texts)
{
    SAFEARRAYBOUND bounds[2] = {{ULONG(texts.size()), 0}, {1, 0}};
    SAFEARRAY* array = SafeArrayCreate(VT_BSTR, 2, bounds);
    for (size_t i = 0; i < texts.size(); ++i) {
        OleString text = Utf8ToOle(texts[i]);
        BSTR element = SysAllocStringLen(text.data(), UINT(text.size()));
        LONG indices[2] = {LONG(i), 0};
        SafeArrayPutElement(array, indices, element);
        SysFreeString(element);
    }
    Var result;
    result.value.vt = VT_ARRAY | VT_BSTR;
    result.value.parray = array;
    return result;
}

std::string Var::Text() const
{
    if (value.vt != VT_BSTR) {
        return "<vt " + std::to_string(value.vt) + ">";
    }
    return BstrToUtf8(value.bstrVal);
}

Var Invoke(IDispatch* object, const char16_t* member, WORD kind, std::initializer_list<Var> args, Outcome* outcome)
{
    bool reported;
    return Run(object, member, kind, args, outcome, reported);
}

void ReportFailuresTo(FailureReport report)
{
    failureReport = report;
}

ComPtr<IDispatch> CreateServer(const char16_t* progId)
{
    CLSID clsid;
    if (CLSIDFromProgID(ToOle(progId).c_str(), &clsid) != S_OK) {
        Fail(TextToUtf8(progId) + " is not registered");
        return {};
    }
    IDispatch* server = nullptr;
    HRESULT hr =
        CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, reinterpret_cast<void**>(&server));
    if (hr != S_OK) {
        Fail("CoCreateInstance " + TextToUtf8(progId) + " failed " + Hex(hr));
        return {};
    }
    return ComPtr<IDispatch>::Adopt(server);
}

ComPtr<IDispatch> Get(IDispatch* object, const char16_t* member, std::initializer_list<Var> args)
{
    bool reported;
    Var result = Run(object, member, DISPATCH_PROPERTYGET, args, nullptr, reported);
    if (!reported && result.value.vt != VT_DISPATCH) {
        Fail(TextToUtf8(member) + " returned no object");
    }
    return ObjectOf(result);
}

ComPtr<IDispatch> Call(IDispatch* object, const char16_t* member, std::initializer_list<Var> args)
{
    return ObjectOf(Invoke(object, member, DISPATCH_METHOD, args));
}

LONG GetInt(IDispatch* object, const char16_t* member, std::initializer_list<Var> args)
{
    bool reported;
    Var result = Run(object, member, DISPATCH_PROPERTYGET, args, nullptr, reported);
    if (result.value.vt != VT_I4) {
        if (!reported) {
            Fail(TextToUtf8(member) + " returned no number");
        }
        return -1;
    }
    return result.value.lVal;
}

std::string GetText(IDispatch* object, const char16_t* member, std::initializer_list<Var> args)
{
    bool reported;
    Var result = Run(object, member, DISPATCH_PROPERTYGET, args, nullptr, reported);
    if (!reported && result.value.vt != VT_BSTR) {
        Fail(TextToUtf8(member) + " returned no text");
    }
    return result.Text();
}

void Put(IDispatch* object, const char16_t* member, const Var& value)
{
    Invoke(object, member, DISPATCH_PROPERTYPUT, {value});
}

Outcome TryGet(IDispatch* object, const char16_t* member, std::initializer_list<Var> args)
{
    Outcome outcome;
    Invoke(object, member, DISPATCH_PROPERTYGET, args, &outcome);
    return outcome;
}

Outcome TryCall(IDispatch* object, const char16_t* member, std::initializer_list<Var> args)
{
    Outcome outcome;
    Invoke(object, member, DISPATCH_METHOD, args, &outcome);
    return outcome;
}

Outcome TryPut(IDispatch* object, const char16_t* member, const Var& value)
{
    Outcome outcome;
    Invoke(object, member, DISPATCH_PROPERTYPUT, {value}, &outcome);
    return outcome;
}

}  // namespace dispatch_test
