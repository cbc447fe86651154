// The servers of tolvane-office.exe seen from another process, through the
// system's standard IDispatch marshaler: every kind of value the program
// passes or receives, puts with the named argument, refusals with their
// texts, one application per CreateInstance, and the server's end when the
// last reference is gone. Needs tolvane-office.exe registered.
#include <gtest/gtest.h>

#include <windows.h>

#include <tlhelp32.h>

#include <string>
#include <vector>

namespace {

struct Reply {
    HRESULT hr = E_FAIL;
    VARIANT result;
    EXCEPINFO info{};
    Reply() { VariantInit(&result); }
    ~Reply()
    {
        VariantClear(&result);
        SysFreeString(info.bstrSource);
        SysFreeString(info.bstrDescription);
        SysFreeString(info.bstrHelpFile);
    }
    Reply(const Reply&) = delete;
    Reply& operator=(const Reply&) = delete;
};

VARIANT Text(const wchar_t* text)
{
    VARIANT v;
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(text);
    return v;
}

VARIANT Of(VARTYPE type, double number)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = type;
    switch (type) {
    case VT_I4: v.lVal = LONG(number); break;
    case VT_BOOL: v.boolVal = number != 0 ? VARIANT_TRUE : VARIANT_FALSE; break;
    case VT_R8: v.dblVal = number; break;
    case VT_DATE: v.date = number; break;
    case VT_ERROR: v.scode = SCODE(ULONG(number)); break;
    default: ADD_FAILURE() << "no such test value";
    }
    return v;
}

VARIANT Missing() { return Of(VT_ERROR, double(ULONG(DISP_E_PARAMNOTFOUND))); }

// Calls a member by name; arguments first to last, as a script writes them.
void Invoke(IDispatch* object, const wchar_t* name, WORD kind, std::vector<VARIANT> args, Reply& reply)
{
    DISPID dispid = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    reply.hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid);
    if (SUCCEEDED(reply.hr)) {
        std::vector<VARIANT> slots(args.rbegin(), args.rend());
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS params = {slots.data(), nullptr, UINT(slots.size()), 0};
        if (kind == DISPATCH_PROPERTYPUT) {
            params.rgdispidNamedArgs = &named;
            params.cNamedArgs = 1;
        }
        UINT argErr = 0;
        reply.hr = object->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, kind, &params,
                                  kind == DISPATCH_PROPERTYPUT ? nullptr : &reply.result, &reply.info, &argErr);
    }
    for (VARIANT& v : args) {
        VariantClear(&v);
    }
}

// An object a call returned; the test fails when the call did not give one.
IDispatch* Object(IDispatch* object, const wchar_t* name, std::vector<VARIANT> args = {})
{
    Reply reply;
    Invoke(object, name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, std::move(args), reply);
    EXPECT_EQ(S_OK, reply.hr) << name;
    if (reply.hr != S_OK || reply.result.vt != VT_DISPATCH || reply.result.pdispVal == nullptr) {
        ADD_FAILURE() << "no object from " << std::string(name, name + wcslen(name));
        return nullptr;
    }
    IDispatch* result = reply.result.pdispVal;
    result->AddRef();
    return result;
}

void Put(IDispatch* object, const wchar_t* name, VARIANT value)
{
    Reply reply;
    Invoke(object, name, DISPATCH_PROPERTYPUT, {value}, reply);
    EXPECT_EQ(S_OK, reply.hr) << std::string(name, name + wcslen(name));
}

int ServerProcesses()
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        count += _wcsicmp(entry.szExeFile, L"tolvane-office.exe") == 0 ? 1 : 0;
    }
    CloseHandle(snapshot);
    return count;
}

bool ServersEndWithin(DWORD milliseconds)
{
    for (DWORD waited = 0; waited < milliseconds; waited += 100) {
        if (ServerProcesses() == 0) {
            return true;
        }
        Sleep(100);
    }
    return false;
}

class CrossProcess : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(S_OK, CoInitialize(nullptr));
        excel = Start(L"Excel.Application");
        ASSERT_NE(nullptr, excel);
    }
    void TearDown() override
    {
        for (IDispatch* object : held) {
            object->Release();
        }
        CoUninitialize();
        EXPECT_TRUE(ServersEndWithin(20000)) << "a server outlived its objects";
    }

    IDispatch* Start(const wchar_t* progId)
    {
        CLSID clsid{};
        EXPECT_EQ(S_OK, CLSIDFromProgID(progId, &clsid));
        IDispatch* application = nullptr;
        EXPECT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                         reinterpret_cast<void**>(&application)));
        return Hold(application);
    }
    IDispatch* Hold(IDispatch* object)
    {
        if (object != nullptr) {
            held.push_back(object);
        }
        return object;
    }
    IDispatch* Cell(const wchar_t* address)
    {
        IDispatch* sheet = Hold(Object(excel, L"ActiveSheet"));
        return sheet == nullptr ? nullptr : Hold(Object(sheet, L"Range", {Text(address)}));
    }

    IDispatch* excel = nullptr;
    std::vector<IDispatch*> held;
};

TEST_F(CrossProcess, ScalarsTravelBothWaysWithTheirTypes) {
    Reply none;
    Invoke(excel, L"ActiveWorkbook", DISPATCH_PROPERTYGET, {}, none);
    EXPECT_EQ(S_OK, none.hr);
    EXPECT_EQ(VT_DISPATCH, none.result.vt) << "Nothing is an object reference";
    EXPECT_EQ(nullptr, none.result.pdispVal);

    // A left-out optional argument arrives as VT_ERROR DISP_E_PARAMNOTFOUND.
    IDispatch* workbooks = Hold(Object(excel, L"Workbooks"));
    ASSERT_NE(nullptr, workbooks);
    ASSERT_NE(nullptr, Hold(Object(workbooks, L"Add", {Missing()})));
    IDispatch* cell = Cell(L"B2");
    ASSERT_NE(nullptr, cell);

    struct Case {
        VARIANT value;
        VARTYPE back;
        double number;
    };
    for (const Case& c : {Case{Of(VT_I4, 42), VT_R8, 42}, Case{Of(VT_R8, -3.25), VT_R8, -3.25},
                          Case{Of(VT_BOOL, 1), VT_BOOL, -1}, Case{Of(VT_DATE, 45000.5), VT_DATE, 45000.5},
                          Case{Of(VT_ERROR, double(0x800A07FAu)), VT_ERROR, double(0x800A07FAu)}}) {
        Put(cell, L"Value", c.value);
        Reply back;
        Invoke(cell, L"Value", DISPATCH_PROPERTYGET, {}, back);
        ASSERT_EQ(S_OK, back.hr);
        EXPECT_EQ(c.back, back.result.vt) << "put as " << c.value.vt;
        VARIANT number;
        VariantInit(&number);
        if (back.result.vt == VT_ERROR) {
            EXPECT_EQ(SCODE(ULONG(c.number)), back.result.scode);
        } else if (SUCCEEDED(VariantChangeType(&number, &back.result, 0, VT_R8))) {
            EXPECT_EQ(c.number, number.dblVal) << "put as " << c.value.vt;
        }
    }

    const wchar_t text[] = L"Gr\u00fc\u00dfe \u20ac \U0001F600 \"quoted\"";
    Put(cell, L"Value", Text(text));
    Reply back;
    Invoke(cell, L"Value", DISPATCH_PROPERTYGET, {}, back);
    ASSERT_EQ(VT_BSTR, back.result.vt);
    EXPECT_STREQ(text, back.result.bstrVal);
    EXPECT_EQ(SysStringLen(back.result.bstrVal), wcslen(text));
}

TEST_F(CrossProcess, ArraysKeepTheirShapeAndIndexOrder) {
    IDispatch* workbooks = Hold(Object(excel, L"Workbooks"));
    ASSERT_NE(nullptr, workbooks);
    ASSERT_NE(nullptr, Hold(Object(workbooks, L"Add")));
    // A column, a row and a block; element (r, c) holds 10 * r + c, so a
    // transposed array or swapped bounds show in the cells.
    struct Case {
        const wchar_t* range;
        LONG rows, columns;
    };
    for (const Case& c : {Case{L"A1:A3", 3, 1}, Case{L"A5:C5", 1, 3}, Case{L"A7:C8", 2, 3}}) {
        SAFEARRAYBOUND bounds[2] = {{ULONG(c.rows), 1}, {ULONG(c.columns), 1}};
        SAFEARRAY* array = SafeArrayCreate(VT_VARIANT, 2, bounds);
        for (LONG r = 1; r <= c.rows; ++r) {
            for (LONG col = 1; col <= c.columns; ++col) {
                LONG at[2] = {r, col};
                VARIANT element = Of(VT_I4, 10 * r + col);
                SafeArrayPutElement(array, at, &element);
            }
        }
        VARIANT value;
        value.vt = VT_ARRAY | VT_VARIANT;
        value.parray = array;
        IDispatch* range = Cell(c.range);
        ASSERT_NE(nullptr, range);
        Put(range, L"Value", value);

        IDispatch* corner = Cell(c.range);
        Reply last;
        Invoke(corner, L"Cells", DISPATCH_PROPERTYGET, {Of(VT_I4, c.rows), Of(VT_I4, c.columns)}, last);
        ASSERT_EQ(VT_DISPATCH, last.result.vt);
        Reply lastValue;
        Invoke(last.result.pdispVal, L"Value", DISPATCH_PROPERTYGET, {}, lastValue);
        EXPECT_EQ(VT_R8, lastValue.result.vt);
        EXPECT_EQ(10.0 * c.rows + c.columns, lastValue.result.dblVal);

        Reply back;
        Invoke(range, L"Value", DISPATCH_PROPERTYGET, {}, back);
        ASSERT_EQ(VT_ARRAY | VT_VARIANT, back.result.vt);
        ASSERT_EQ(2u, SafeArrayGetDim(back.result.parray));
        LONG low = 0, high = 0;
        SafeArrayGetLBound(back.result.parray, 1, &low);
        SafeArrayGetUBound(back.result.parray, 1, &high);
        EXPECT_EQ(1, low);
        EXPECT_EQ(c.rows, high);
        SafeArrayGetUBound(back.result.parray, 2, &high);
        EXPECT_EQ(c.columns, high);
        for (LONG r = 1; r <= c.rows; ++r) {
            for (LONG col = 1; col <= c.columns; ++col) {
                LONG at[2] = {r, col};
                VARIANT element;
                VariantInit(&element);
                SafeArrayGetElement(back.result.parray, at, &element);
                EXPECT_EQ(VT_R8, element.vt);
                EXPECT_EQ(10.0 * r + col, element.dblVal) << r << "," << col;
            }
        }
    }
}

TEST_F(CrossProcess, RefusalsArriveWithTheirTexts) {
    IDispatch* workbooks = Hold(Object(excel, L"Workbooks"));
    ASSERT_NE(nullptr, workbooks);
    Reply refused;
    Invoke(workbooks, L"Add", DISPATCH_METHOD, {Text(L"Z:\\no\\such\\folder\\report.xltx")}, refused);
    EXPECT_EQ(DISP_E_EXCEPTION, refused.hr);
    ASSERT_NE(nullptr, refused.info.bstrDescription);
    EXPECT_NE(nullptr, wcsstr(refused.info.bstrDescription, L"report.xltx")) << refused.info.bstrDescription;
    ASSERT_NE(nullptr, refused.info.bstrSource);
    EXPECT_NE(0u, SysStringLen(refused.info.bstrSource));

    Reply unknown;
    Invoke(excel, L"NoSuchMember", DISPATCH_METHOD, {}, unknown);
    EXPECT_EQ(DISP_E_UNKNOWNNAME, unknown.hr);
}

TEST_F(CrossProcess, EveryCreateInstanceIsANewApplication) {
    IDispatch* word = Start(L"Word.Application");
    ASSERT_NE(nullptr, word);
    IDispatch* secondExcel = Start(L"Excel.Application");
    ASSERT_NE(nullptr, secondExcel);
    IDispatch* workbooks = Hold(Object(excel, L"Workbooks"));
    ASSERT_NE(nullptr, workbooks);
    ASSERT_NE(nullptr, Hold(Object(workbooks, L"Add")));

    IDispatch* otherWorkbooks = Hold(Object(secondExcel, L"Workbooks"));
    ASSERT_NE(nullptr, otherWorkbooks);
    Reply count;
    Invoke(otherWorkbooks, L"Count", DISPATCH_PROPERTYGET, {}, count);
    EXPECT_EQ(VT_I4, count.result.vt);
    EXPECT_EQ(0, count.result.lVal);

    Reply visible;
    Invoke(word, L"Visible", DISPATCH_PROPERTYGET, {}, visible);
    EXPECT_EQ(VT_BOOL, visible.result.vt);
    EXPECT_EQ(VARIANT_FALSE, visible.result.boolVal);
    EXPECT_EQ(3, ServerProcesses());
}

}  // namespace
