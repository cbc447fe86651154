// Calls into another process through the system's standard IDispatch
// marshaler, served by the local server's own code (EchoServer.cpp): every
// kind of value the program passes or receives, puts with the named
// argument, refusals with their texts, one object per process, and the
// server's end when its last object is released or its starter is gone.
#include <gtest/gtest.h>

#include <windows.h>

#include <tlhelp32.h>

#include <string>
#include <vector>

namespace {

const wchar_t kServer[] = L"windows_echo_server.exe";

std::wstring ServerPath()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\') + 1) + kServer;
}

// Runs a program to its end; its exit code.
DWORD RunToEnd(const std::wstring& commandLine)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    std::wstring line = commandLine;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return 9999;
    }
    WaitForSingleObject(process.hProcess, 120000);
    DWORD code = 9998;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return code;
}

int ServerProcesses()
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        count += _wcsicmp(entry.szExeFile, kServer) == 0 ? 1 : 0;
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

VARIANT Text(const wchar_t* text)
{
    VARIANT v;
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(text);
    return v;
}

// Element (r, c) of a rows-by-columns array holds 10 * r + c, so a transposed
// array or swapped bounds show.
VARIANT Grid(LONG rows, LONG columns)
{
    SAFEARRAYBOUND bounds[2] = {{ULONG(rows), 1}, {ULONG(columns), 1}};
    VARIANT v;
    v.vt = VT_ARRAY | VT_VARIANT;
    v.parray = SafeArrayCreate(VT_VARIANT, 2, bounds);
    for (LONG r = 1; r <= rows; ++r) {
        for (LONG c = 1; c <= columns; ++c) {
            LONG at[2] = {r, c};
            VARIANT element = Of(VT_I4, 10 * r + c);
            SafeArrayPutElement(v.parray, at, &element);
        }
    }
    return v;
}

// Calls a member by name, arguments first to last as a script writes them.
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

class CrossProcess : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(0u, RunToEnd(L"\"" + ServerPath() + L"\" /RegServer /machine")); }
    static void TearDownTestSuite() { RunToEnd(L"\"" + ServerPath() + L"\" /UnregServer /machine"); }

    void SetUp() override
    {
        ASSERT_EQ(S_OK, CoInitialize(nullptr));
        echo = Start();
        ASSERT_NE(nullptr, echo);
    }
    void TearDown() override
    {
        if (echo != nullptr) {
            echo->Release();
        }
        CoUninitialize();
        EXPECT_TRUE(ServersEndWithin(20000)) << "a server outlived its objects";
    }

    static IDispatch* Start()
    {
        CLSID clsid{};
        EXPECT_EQ(S_OK, CLSIDFromProgID(L"Tolvane.EchoTest", &clsid));
        IDispatch* object = nullptr;
        EXPECT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                         reinterpret_cast<void**>(&object)));
        return object;
    }

    IDispatch* echo = nullptr;
};

TEST_F(CrossProcess, ScalarsAndTextArriveAndReturnWithTheirTypes) {
    const wchar_t text[] = L"Gr\u00fc\u00dfe \u20ac \U0001F600 \"quoted\"\ttab";
    struct Case {
        VARIANT value;
        double number;
    };
    for (const Case& c : {Case{Of(VT_I4, -42), -42}, Case{Of(VT_R8, 1e-300), 1e-300}, Case{Of(VT_BOOL, 1), -1},
                          Case{Of(VT_DATE, 45000.75), 45000.75}, Case{Of(VT_ERROR, double(0x800A07FAu)), 0x800A07FAu},
                          Case{Of(VT_ERROR, double(ULONG(DISP_E_PARAMNOTFOUND))), double(ULONG(DISP_E_PARAMNOTFOUND))},
                          Case{Text(text), 0}}) {
        const VARTYPE sent = c.value.vt;
        Reply back;
        Invoke(echo, L"Echo", DISPATCH_METHOD, {c.value}, back);
        ASSERT_EQ(S_OK, back.hr) << sent;
        ASSERT_EQ(sent, back.result.vt);
        switch (sent) {
        case VT_I4: EXPECT_EQ(c.number, back.result.lVal); break;
        case VT_R8: EXPECT_EQ(c.number, back.result.dblVal); break;
        case VT_BOOL: EXPECT_EQ(VARIANT_TRUE, back.result.boolVal); break;
        case VT_DATE: EXPECT_EQ(c.number, back.result.date); break;
        case VT_ERROR: EXPECT_EQ(SCODE(ULONG(c.number)), back.result.scode); break;
        default:
            EXPECT_STREQ(text, back.result.bstrVal);
            EXPECT_EQ(wcslen(text), SysStringLen(back.result.bstrVal));
        }
    }
    Reply nothing;
    Invoke(echo, L"Nothing", DISPATCH_PROPERTYGET, {}, nothing);
    EXPECT_EQ(VT_DISPATCH, nothing.result.vt) << "Nothing is an object reference";
    EXPECT_EQ(nullptr, nothing.result.pdispVal);
}

TEST_F(CrossProcess, ArraysKeepTheirShapeAndIndexOrderBothWays) {
    struct Shape {
        LONG rows, columns;
    };
    for (const Shape& shape : {Shape{3, 1}, Shape{1, 3}, Shape{2, 3}}) {
        // What the server reads at (r, c) ...
        for (LONG r = 1; r <= shape.rows; ++r) {
            for (LONG c = 1; c <= shape.columns; ++c) {
                Reply element;
                Invoke(echo, L"Element", DISPATCH_METHOD, {Grid(shape.rows, shape.columns), Of(VT_I4, r), Of(VT_I4, c)},
                       element);
                ASSERT_EQ(S_OK, element.hr);
                EXPECT_EQ(VT_I4, element.result.vt);
                EXPECT_EQ(10 * r + c, element.result.lVal) << shape.rows << "x" << shape.columns;
            }
        }
        // ... and what comes back.
        Reply back;
        Invoke(echo, L"Echo", DISPATCH_METHOD, {Grid(shape.rows, shape.columns)}, back);
        ASSERT_EQ(VT_ARRAY | VT_VARIANT, back.result.vt);
        ASSERT_EQ(2u, SafeArrayGetDim(back.result.parray));
        LONG low = 0, high = 0;
        SafeArrayGetLBound(back.result.parray, 1, &low);
        SafeArrayGetUBound(back.result.parray, 1, &high);
        EXPECT_EQ(1, low);
        EXPECT_EQ(shape.rows, high);
        SafeArrayGetUBound(back.result.parray, 2, &high);
        EXPECT_EQ(shape.columns, high);
        LONG at[2] = {shape.rows, shape.columns};
        VARIANT last;
        VariantInit(&last);
        SafeArrayGetElement(back.result.parray, at, &last);
        EXPECT_EQ(10 * shape.rows + shape.columns, last.lVal);
    }
}

TEST_F(CrossProcess, APutCarriesTheNamedArgumentAndARefusalItsTexts) {
    Reply put;
    Invoke(echo, L"Value", DISPATCH_PROPERTYPUT, {Of(VT_R8, 2.5)}, put);
    EXPECT_EQ(S_OK, put.hr);
    Reply get;
    Invoke(echo, L"Value", DISPATCH_PROPERTYGET, {}, get);
    EXPECT_EQ(VT_R8, get.result.vt);
    EXPECT_EQ(2.5, get.result.dblVal);

    Reply refused;
    Invoke(echo, L"Fail", DISPATCH_METHOD, {Text(L"C:\\data\\r\u00e9sum\u00e9.dotx")}, refused);
    EXPECT_EQ(DISP_E_EXCEPTION, refused.hr);
    ASSERT_NE(nullptr, refused.info.bstrDescription);
    EXPECT_STREQ(L"refused: C:\\data\\r\u00e9sum\u00e9.dotx", refused.info.bstrDescription);
    ASSERT_NE(nullptr, refused.info.bstrSource);
    EXPECT_STREQ(L"Echo", refused.info.bstrSource);

    Reply unknown;
    Invoke(echo, L"NoSuchMember", DISPATCH_METHOD, {}, unknown);
    EXPECT_EQ(DISP_E_UNKNOWNNAME, unknown.hr);
}

TEST_F(CrossProcess, EachObjectHasItsProcessWhichLastsAsLongAsAnythingItMade) {
    IDispatch* second = Start();
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(2, ServerProcesses());
    second->Release();
    EXPECT_TRUE([] {
        for (int i = 0; i < 200 && ServerProcesses() != 1; ++i) {
            Sleep(100);
        }
        return ServerProcesses() == 1;
    }());

    // A child object outlives the object that made it, and so does the server.
    Reply twin;
    Invoke(echo, L"Twin", DISPATCH_PROPERTYGET, {}, twin);
    ASSERT_EQ(VT_DISPATCH, twin.result.vt);
    echo->Release();
    echo = nullptr;
    Sleep(1000);
    EXPECT_EQ(1, ServerProcesses());
    Reply value;
    Invoke(twin.result.pdispVal, L"Echo", DISPATCH_METHOD, {Of(VT_I4, 7)}, value);
    EXPECT_EQ(S_OK, value.hr);
}

// Run as a child by the test below: takes an object and ends at once, without releasing it.
TEST(AbandonedObject, ChildTakesAnObjectAndEnds) {
    if (GetEnvironmentVariableW(L"TOLVANE_ECHO_CHILD", nullptr, 0) == 0) {
        GTEST_SKIP() << "only as the child of the test below";
    }
    CoInitialize(nullptr);
    CLSID clsid{};
    IDispatch* object = nullptr;
    if (SUCCEEDED(CLSIDFromProgID(L"Tolvane.EchoTest", &clsid)) &&
        SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                   reinterpret_cast<void**>(&object)))) {
        ExitProcess(0);
    }
    ExitProcess(3);
}

TEST_F(CrossProcess, AServerEndsWithTheProgramThatStartedItAndLeftItsObjects) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    SetEnvironmentVariableW(L"TOLVANE_ECHO_CHILD", L"1");
    const DWORD code = RunToEnd(L"\"" + std::wstring(self) + L"\" --gtest_filter=AbandonedObject.*");
    SetEnvironmentVariableW(L"TOLVANE_ECHO_CHILD", nullptr);
    EXPECT_EQ(0u, code);
    echo->Release();
    echo = nullptr;
}

}  // namespace
