#include "tests/office/spreadsheet/ExcelDriver.h"

#include <gtest/gtest.h>

#include "office/dispatch/Utf8.h"
#include "office/spreadsheet/Registration.h"

namespace excel_test {

Var::Var(int number)
{
    VariantInit(&value);
    value.vt = VT_I4;
    value.lVal = number;
}

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
    std::u16string text = Utf8ToUtf16(utf8);
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocStringLen(text.data(), UINT(text.size()));
}

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
    VariantCopy(&value, &other.value);
}

Var Var::Column(const std::vector<std::string>& texts)
{
    SAFEARRAYBOUND bounds[2] = {{ULONG(texts.size()), 0}, {1, 0}};
    SAFEARRAY* array = SafeArrayCreate(VT_BSTR, 2, bounds);
    for (size_t i = 0; i < texts.size(); ++i) {
        std::u16string text = Utf8ToUtf16(texts[i]);
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
    return Utf16ToUtf8(std::u16string_view(value.bstrVal ? value.bstrVal : u"", SysStringLen(value.bstrVal)));
}

ComPtr<IDispatch> StartExcel()
{
    CoInitialize(nullptr);
    RegisterSpreadsheetServer();
    CLSID clsid;
    EXPECT_EQ(CLSIDFromProgID(u"Excel.Application", &clsid), S_OK);
    IDispatch* excel = nullptr;
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, reinterpret_cast<void**>(&excel)),
              S_OK);
    return ComPtr<IDispatch>::Adopt(excel);
}

Var Invoke(IDispatch* object, const char16_t* member, WORD kind, std::initializer_list<Var> args, Outcome* outcome)
{
    Var result;
    if (!object) {
        ADD_FAILURE() << "call on a null object: " << Utf16ToUtf8(member);
        if (outcome) {
            *outcome = {E_POINTER, "null object"};
        }
        return result;
    }
    DISPID id;
    LPOLESTR name = const_cast<LPOLESTR>(member);
    HRESULT hr = object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) {
        if (outcome) {
            *outcome = {hr, "unknown name"};
        } else {
            ADD_FAILURE() << "GetIDsOfNames " << Utf16ToUtf8(member) << " failed " << std::hex << hr;
        }
        return result;
    }
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
    std::string description = info.bstrDescription ? Utf16ToUtf8(info.bstrDescription) : "";
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrHelpFile);
    if (outcome) {
        *outcome = {hr, description};
    } else if (FAILED(hr)) {
        ADD_FAILURE() << Utf16ToUtf8(member) << " failed " << std::hex << hr << ": " << description;
    }
    return result;
}

namespace {

ComPtr<IDispatch> ObjectOf(const Var& result)
{
    return result.value.vt == VT_DISPATCH ? ComPtr<IDispatch>(result.value.pdispVal) : ComPtr<IDispatch>();
}

}  // namespace

ComPtr<IDispatch> Get(IDispatch* object, const char16_t* member, std::initializer_list<Var> args)
{
    return ObjectOf(Invoke(object, member, DISPATCH_PROPERTYGET, args));
}

ComPtr<IDispatch> Call(IDispatch* object, const char16_t* member, std::initializer_list<Var> args)
{
    return ObjectOf(Invoke(object, member, DISPATCH_METHOD, args));
}

LONG GetInt(IDispatch* object, const char16_t* member, std::initializer_list<Var> args)
{
    Var result = Invoke(object, member, DISPATCH_PROPERTYGET, args);
    Var converted;
    if (FAILED(VariantChangeType(&converted.value, &result.value, 0, VT_I4))) {
        ADD_FAILURE() << Utf16ToUtf8(member) << " gave no number";
        return -1;
    }
    return converted.value.lVal;
}

std::string GetText(IDispatch* object, const char16_t* member, std::initializer_list<Var> args)
{
    return Invoke(object, member, DISPATCH_PROPERTYGET, args).Text();
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

ComPtr<IDispatch> AddWorkbook(IDispatch* excel, const std::string& path)
{
    return Call(Get(excel, u"Workbooks").Get(), u"Add", {Var(path.c_str())});
}

ComPtr<IDispatch> CellAt(IDispatch* sheet, int row, int column)
{
    return Get(Get(sheet, u"Cells").Get(), u"Item", {Var(row), Var(column)});
}

ComPtr<IDispatch> RowOf(IDispatch* sheet, int row)
{
    return Get(Get(sheet, u"Rows").Get(), u"Item", {Var(row)});
}

ComPtr<IDispatch> RowSpan(IDispatch* excel, IDispatch* sheet, int first, int last)
{
    return Get(excel, u"Range", {Var(RowOf(sheet, first)), Var(RowOf(sheet, last))});
}

std::string NameAddress(IDispatch* workbook, const char* name)
{
    ComPtr<IDispatch> item = Call(Get(workbook, u"Names").Get(), u"Item", {Var(name)});
    ComPtr<IDispatch> range = Get(item.Get(), u"RefersToRange");
    return GetText(range.Get(), u"Address");
}

}  // namespace excel_test
