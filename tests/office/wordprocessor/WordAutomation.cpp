#include "tests/office/wordprocessor/WordAutomation.h"

#include "office/dispatch/Utf8.h"
#include "office/wordprocessor/Registration.h"

#include <cstdio>
#include <stdexcept>
#include <vector>

namespace word_test {

Var::Var(int number) {
    VariantInit(&value);
    value.vt = VT_I4;
    value.lVal = number;
}

Var::Var(const char16_t* text) {
    VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocString(text);
}

Var::Var(const Var& other) {
    VariantInit(&value);
    VariantCopy(&value, &other.value);
}

namespace {

std::string Hex(HRESULT hr) {
    char text[24];
    std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(hr));
    return text;
}

[[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error(what);
}

}  // namespace

ComPtr<IDispatch> StartWord() {
    CoInitialize(nullptr);
    RegisterWordProcessorServer();
    CLSID clsid;
    if (CLSIDFromProgID(u"Word.Application", &clsid) != S_OK) Fail("Word.Application is not registered");
    IDispatch* word = nullptr;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, reinterpret_cast<void**>(&word));
    if (hr != S_OK) Fail("CoCreateInstance failed " + Hex(hr));
    return ComPtr<IDispatch>::Adopt(word);
}

Var Invoke(IDispatch* object, const char16_t* member, WORD kind, std::initializer_list<Var> args, Outcome* outcome) {
    Var result;
    if (!object) Fail("call on a null object: " + Utf16ToUtf8(member));
    DISPID id;
    LPOLESTR name = const_cast<LPOLESTR>(member);
    HRESULT hr = object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_SYSTEM_DEFAULT, &id);
    if (FAILED(hr)) {
        if (!outcome) Fail("GetIDsOfNames " + Utf16ToUtf8(member) + " failed " + Hex(hr));
        *outcome = {hr, "unknown name"};
        return result;
    }
    // Arguments go in reverse order, as IDispatch wants them.
    std::vector<VARIANT> reversed;
    for (auto it = std::rbegin(args); it != std::rend(args); ++it) reversed.push_back(it->value);
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.data(), kind == DISPATCH_PROPERTYPUT ? &putId : nullptr,
                      static_cast<UINT>(reversed.size()), kind == DISPATCH_PROPERTYPUT ? 1u : 0u};
    EXCEPINFO info{};
    UINT argError = 0;
    hr = object->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, kind, &params, &result.value, &info, &argError);
    std::string description = info.bstrDescription ? Utf16ToUtf8(info.bstrDescription) : "";
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrHelpFile);
    if (outcome) {
        *outcome = {hr, description};
    } else if (FAILED(hr)) {
        Fail(Utf16ToUtf8(member) + " failed " + Hex(hr) + ": " + description);
    }
    return result;
}

namespace {

ComPtr<IDispatch> ObjectOf(const Var& result, const char16_t* member) {
    if (result.value.vt != VT_DISPATCH) Fail(Utf16ToUtf8(member) + " returned no object");
    return ComPtr<IDispatch>(result.value.pdispVal);
}

}  // namespace

ComPtr<IDispatch> Get(IDispatch* object, const char16_t* member, std::initializer_list<Var> args) {
    return ObjectOf(Invoke(object, member, DISPATCH_PROPERTYGET, args), member);
}

ComPtr<IDispatch> Call(IDispatch* object, const char16_t* member, std::initializer_list<Var> args) {
    Var result = Invoke(object, member, DISPATCH_METHOD, args);
    return result.value.vt == VT_DISPATCH ? ComPtr<IDispatch>(result.value.pdispVal) : ComPtr<IDispatch>();
}

LONG GetInt(IDispatch* object, const char16_t* member, std::initializer_list<Var> args) {
    Var result = Invoke(object, member, DISPATCH_PROPERTYGET | DISPATCH_METHOD, args);
    if (result.value.vt != VT_I4) Fail(Utf16ToUtf8(member) + " returned no number");
    return result.value.lVal;
}

std::string GetText(IDispatch* object, const char16_t* member, std::initializer_list<Var> args) {
    Var result = Invoke(object, member, DISPATCH_PROPERTYGET, args);
    if (result.value.vt != VT_BSTR) Fail(Utf16ToUtf8(member) + " returned no text");
    return result.value.bstrVal ? Utf16ToUtf8(result.value.bstrVal) : "";
}

void Put(IDispatch* object, const char16_t* member, const Var& value) {
    Invoke(object, member, DISPATCH_PROPERTYPUT, {value});
}

Outcome TryCall(IDispatch* object, const char16_t* member, std::initializer_list<Var> args) {
    Outcome outcome{S_OK, ""};
    Invoke(object, member, DISPATCH_METHOD, args, &outcome);
    return outcome;
}

Outcome TryPut(IDispatch* object, const char16_t* member, const Var& value) {
    Outcome outcome{S_OK, ""};
    Invoke(object, member, DISPATCH_PROPERTYPUT, {value}, &outcome);
    return outcome;
}

ComPtr<IDispatch> AddDocument(IDispatch* word, const std::string& templatePath) {
    ComPtr<IDispatch> documents = Get(word, u"Documents");
    std::u16string path = Utf8ToUtf16(templatePath);
    return Call(documents.Get(), u"Add", {Var(path.c_str())});
}

std::string FieldNames(IDispatch* document) {
    ComPtr<IDispatch> fields = Get(document, u"FormFields");
    LONG count = GetInt(fields.Get(), u"Count");
    std::string names;
    for (LONG i = 1; i <= count; ++i) {
        ComPtr<IDispatch> field = Call(fields.Get(), u"Item", {Var(int(i))});
        names += (i > 1 ? "," : "") + GetText(field.Get(), u"Name");
    }
    return names;
}

}  // namespace word_test
