#include <gtest/gtest.h>

#include <memory>

#include "automation/AutomationSession.h"
#include "tests/office/dispatch/SampleObjects.h"
#include "tests/support/Variants.h"

namespace {

// The outcome of one Invoke, owning what came back.
struct Reply {
    HRESULT hr = S_OK;
    VARIANT result = {};
    EXCEPINFO info = {};
    UINT argErr = 99;

    ~Reply()
    {
        VariantClear(&result);
        SysFreeString(info.bstrSource);
        SysFreeString(info.bstrDescription);
        SysFreeString(info.bstrHelpFile);
    }
    std::string Description() const { return Utf16ToUtf8(info.bstrDescription == nullptr ? u"" : info.bstrDescription); }
    std::string ResultText() const { return result.vt == VT_BSTR ? Utf16ToUtf8(result.bstrVal) : "(not text)"; }
};

enum class PutValue { Named, Positional };

// Calls `name` with `args` in natural order; for a put the last one is the value.
std::unique_ptr<Reply> Call(IDispatch* object, const char16_t* name, WORD kind, std::vector<VARIANT> args = {},
                            PutValue put = PutValue::Named)
{
    auto reply = std::make_unique<Reply>();
    VariantInit(&reply->result);
    DISPID dispid = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    reply->hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid);
    if (SUCCEEDED(reply->hr)) {
        std::vector<VARIANT> slots(args.rbegin(), args.rend());
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS params = {slots.data(), nullptr, UINT(slots.size()), 0};
        if ((kind & DISPATCH_PROPERTYPUT) != 0 && put == PutValue::Named) {
            params.rgdispidNamedArgs = &named;
            params.cNamedArgs = 1;
        }
        reply->hr = object->Invoke(dispid, IID_NULL, LOCALE_SYSTEM_DEFAULT, kind, &params, &reply->result,
                                   &reply->info, &reply->argErr);
    }
    for (VARIANT& v : args) {
        VariantClear(&v);
    }
    return reply;
}

class DispatchObjectTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        items = MakeObject<Items>(std::vector<std::string>{"alpha", "beta"});
        auto reply = Call(items.Get(), u"Item", DISPATCH_METHOD, {IntVariant(1)});
        ASSERT_EQ(reply->hr, S_OK);
        ASSERT_EQ(reply->result.vt, VT_DISPATCH);
        item = ComPtr<IDispatch>(reply->result.pdispVal);
    }
    void TearDown() override
    {
        item.Reset();
        items.Reset();
        EXPECT_EQ(Item::alive, 0);
    }

    ComPtr<Items> items;
    ComPtr<IDispatch> item;
};

TEST_F(DispatchObjectTest, NamesMatchWithoutRegardToCaseAndKeepTheirDispid)
{
    DISPID a = 0;
    DISPID b = 0;
    DISPID unknown = 0;
    OLECHAR upper[] = u"NAME";
    OLECHAR lower[] = u"name";
    OLECHAR missing[] = u"Nonsense";
    LPOLESTR names[] = {upper};
    ASSERT_EQ(item->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &a), S_OK);
    names[0] = lower;
    ASSERT_EQ(item->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &b), S_OK);
    EXPECT_EQ(a, b);
    names[0] = missing;
    EXPECT_EQ(item->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &unknown), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(unknown, DISPID_UNKNOWN);

    OLECHAR row[] = u"row";
    names[0] = row;
    ASSERT_EQ(item->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &a), S_OK);
    EXPECT_EQ(a, 0x101);
    // Item is the collection's default member.
    OLECHAR itemName[] = u"item";
    names[0] = itemName;
    ASSERT_EQ(items->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &a), S_OK);
    EXPECT_EQ(a, DISPID_VALUE);
}

TEST_F(DispatchObjectTest, MethodsAndPropertyGetsAreInterchangeable)
{
    auto text = Call(item.Get(), u"Text", DISPATCH_PROPERTYGET);
    EXPECT_EQ(text->hr, S_OK);
    EXPECT_EQ(text->ResultText(), "alpha|");
    auto name = Call(item.Get(), u"Name", DISPATCH_METHOD);
    EXPECT_EQ(name->ResultText(), "alpha");
    auto both = Call(item.Get(), u"Name", DISPATCH_METHOD | DISPATCH_PROPERTYGET);
    EXPECT_EQ(both->ResultText(), "alpha");
}

TEST_F(DispatchObjectTest, SurplusArgumentsOfAPropertyGoToTheResultsItem)
{
    auto border = Call(item.Get(), u"Borders", DISPATCH_PROPERTYGET, {IntVariant(2)});
    ASSERT_EQ(border->hr, S_OK);
    ASSERT_EQ(border->result.vt, VT_DISPATCH);
    auto name = Call(border->result.pdispVal, u"Name", DISPATCH_PROPERTYGET);
    EXPECT_EQ(name->ResultText(), "top");

    auto byName = Call(item.Get(), u"Borders", DISPATCH_PROPERTYGET, {TextVariant(u"left")});
    EXPECT_EQ(byName->hr, S_OK);
    auto missing = Call(item.Get(), u"Borders", DISPATCH_PROPERTYGET, {IntVariant(9)});
    EXPECT_EQ(missing->hr, DISP_E_EXCEPTION);
    EXPECT_EQ(missing->Description(), "Item 9 does not exist");
    // A property whose result is no object cannot take them.
    auto id = Call(item.Get(), u"Id", DISPATCH_PROPERTYGET, {IntVariant(1)});
    EXPECT_EQ(id->hr, DISP_E_BADPARAMCOUNT);
    // Nor can a method.
    auto text = Call(item.Get(), u"Text", DISPATCH_METHOD, {IntVariant(1)});
    EXPECT_EQ(text->hr, DISP_E_BADPARAMCOUNT);
}

TEST_F(DispatchObjectTest, MissingObjectIsNothingNotEmpty)
{
    auto comment = Call(item.Get(), u"Comment", DISPATCH_PROPERTYGET);
    EXPECT_EQ(comment->hr, S_OK);
    EXPECT_EQ(comment->result.vt, VT_DISPATCH);
    EXPECT_EQ(comment->result.pdispVal, nullptr);
}

TEST_F(DispatchObjectTest, BooleanPutsAcceptBoolShortAndLong)
{
    VARIANT flag;
    VariantInit(&flag);
    flag.vt = VT_BOOL;
    flag.boolVal = VARIANT_TRUE;
    EXPECT_EQ(Call(item.Get(), u"Visible", DISPATCH_PROPERTYPUT, {flag})->hr, S_OK);
    EXPECT_EQ(Call(item.Get(), u"Visible", DISPATCH_PROPERTYGET)->result.boolVal, VARIANT_TRUE);

    VARIANT shortZero;
    VariantInit(&shortZero);
    shortZero.vt = VT_I2;
    EXPECT_EQ(Call(item.Get(), u"Visible", DISPATCH_PROPERTYPUT, {shortZero})->hr, S_OK);
    EXPECT_EQ(Call(item.Get(), u"Visible", DISPATCH_PROPERTYGET)->result.boolVal, VARIANT_FALSE);

    EXPECT_EQ(Call(item.Get(), u"Visible", DISPATCH_PROPERTYPUT, {IntVariant(1)})->hr, S_OK);
    EXPECT_EQ(Call(item.Get(), u"Visible", DISPATCH_PROPERTYGET)->result.boolVal, VARIANT_TRUE);

    auto wrong = Call(item.Get(), u"Visible", DISPATCH_PROPERTYPUT, {TextVariant(u"maybe")});
    EXPECT_EQ(wrong->hr, DISP_E_TYPEMISMATCH);
    EXPECT_EQ(wrong->argErr, 0u);
}

TEST_F(DispatchObjectTest, IndexAcceptsANumberOrAText)
{
    VARIANT real;
    VariantInit(&real);
    real.vt = VT_R8;
    real.dblVal = 2.0;
    auto byNumber = Call(items.Get(), u"Item", DISPATCH_METHOD, {real});
    ASSERT_EQ(byNumber->hr, S_OK);
    EXPECT_EQ(Call(byNumber->result.pdispVal, u"Name", DISPATCH_PROPERTYGET)->ResultText(), "beta");
    auto byName = Call(items.Get(), u"item", DISPATCH_PROPERTYGET, {TextVariant(u"beta")});
    ASSERT_EQ(byName->hr, S_OK);

    VARIANT object;
    VariantInit(&object);
    object.vt = VT_DISPATCH;
    object.pdispVal = item.Get();
    item->AddRef();
    auto wrong = Call(items.Get(), u"Item", DISPATCH_METHOD, {object});
    EXPECT_EQ(wrong->hr, DISP_E_TYPEMISMATCH);
}

TEST_F(DispatchObjectTest, RefusalFillsExceptionInfoWithWhatFailed)
{
    auto refused = Call(item.Get(), u"Delete", DISPATCH_METHOD);
    EXPECT_EQ(refused->hr, DISP_E_EXCEPTION);
    EXPECT_EQ(refused->Description(), "Item \"alpha\" cannot be deleted");
    EXPECT_EQ(refused->info.scode, HRESULT(0x800A03EC));

    auto unknown = Call(items.Get(), u"Item", DISPATCH_METHOD, {TextVariant(u"gamma")});
    EXPECT_EQ(unknown->Description(), "The item \"gamma\" does not exist");

    auto fault = Call(item.Get(), u"Crash", DISPATCH_METHOD);
    EXPECT_EQ(fault->hr, DISP_E_EXCEPTION);
    EXPECT_EQ(fault->Description(), "internal fault");

    // Without EXCEPINFO the caller still gets the code.
    DISPID dispid = 0;
    OLECHAR name[] = u"Delete";
    LPOLESTR names[] = {name};
    item->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid);
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    EXPECT_EQ(item->Invoke(dispid, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
              DISP_E_EXCEPTION);
}

TEST_F(DispatchObjectTest, EveryRaisedErrorIsOneDiagnosticsLineButCallingRuleFailuresAreNot)
{
    ::testing::internal::CaptureStderr();
    Call(item.Get(), u"Delete", DISPATCH_METHOD);
    Call(item.Get(), u"Crash", DISPATCH_METHOD);
    Call(items.Get(), u"Item", DISPATCH_METHOD, {TextVariant(u"gamma")});
    Call(items.Get(), u"Item", DISPATCH_METHOD);
    Call(items.Get(), u"NoSuchMember", DISPATCH_METHOD);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "tolvane: Item \"alpha\" cannot be deleted\n"
              "tolvane: internal fault\n"
              "tolvane: The item \"gamma\" does not exist\n");
}

TEST_F(DispatchObjectTest, CallingRuleViolationsHaveTheirOwnCodes)
{
    EXPECT_EQ(Call(item.Get(), u"Missing", DISPATCH_METHOD)->hr, DISP_E_UNKNOWNNAME);
    EXPECT_EQ(Call(items.Get(), u"Item", DISPATCH_METHOD)->hr, DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(Call(item.Get(), u"Resize", DISPATCH_METHOD, {IntVariant(1), IntVariant(2), IntVariant(3)})->hr, DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(Call(item.Get(), u"Id", DISPATCH_PROPERTYPUT, {IntVariant(1)})->hr, DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Call(item.Get(), u"Secret", DISPATCH_PROPERTYGET)->hr, DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Call(item.Get(), u"Name", DISPATCH_PROPERTYPUT)->hr, DISP_E_BADPARAMCOUNT);
    auto wrongType = Call(item.Get(), u"Resize", DISPATCH_METHOD, {IntVariant(2), TextVariant(u"wide")});
    EXPECT_EQ(wrongType->hr, DISP_E_TYPEMISMATCH);
    EXPECT_EQ(wrongType->argErr, 0u);  // the second argument sits in slot 0

    DISPID dispid = 0;
    OLECHAR name[] = u"Name";
    LPOLESTR names[] = {name};
    item->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid);
    VARIANT arg = IntVariant(1);
    DISPID other = 5;
    DISPPARAMS namedGet = {&arg, &other, 1, 1};
    EXPECT_EQ(item->Invoke(dispid, IID_NULL, 0, DISPATCH_PROPERTYGET, &namedGet, nullptr, nullptr, nullptr),
              DISP_E_NONAMEDARGS);
    EXPECT_EQ(item->Invoke(dispid, IID_NULL, 0, DISPATCH_PROPERTYPUT, &namedGet, nullptr, nullptr, nullptr),
              DISP_E_PARAMNOTFOUND);
    EXPECT_EQ(item->Invoke(0x7777, IID_NULL, 0, DISPATCH_METHOD, &namedGet, nullptr, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(item->Invoke(dispid, IID_IDispatch, 0, DISPATCH_METHOD, &namedGet, nullptr, nullptr, nullptr),
              DISP_E_UNKNOWNINTERFACE);
}

TEST_F(DispatchObjectTest, OptionalArgumentsMayBeLeftOut)
{
    EXPECT_EQ(Call(item.Get(), u"Resize", DISPATCH_METHOD, {IntVariant(3)})->ResultText(), "3x1");
    VARIANT missing;
    VariantInit(&missing);
    missing.vt = VT_ERROR;
    missing.scode = DISP_E_PARAMNOTFOUND;
    EXPECT_EQ(Call(item.Get(), u"Resize", DISPATCH_METHOD, {IntVariant(3), missing})->ResultText(), "3x1");
    auto required = Call(item.Get(), u"Resize", DISPATCH_METHOD, {missing, IntVariant(3)});
    EXPECT_EQ(required->hr, DISP_E_PARAMNOTOPTIONAL);
    EXPECT_EQ(required->argErr, 1u);
}

TEST_F(DispatchObjectTest, PutsWorkWithOrWithoutTheNamedArgument)
{
    EXPECT_EQ(Call(item.Get(), u"Secret", DISPATCH_PROPERTYPUT, {TextVariant(u"s")}, PutValue::Positional)->hr, S_OK);
    EXPECT_EQ(Call(item.Get(), u"Name", DISPATCH_PROPERTYPUT, {TextVariant(u"gamma")})->hr, S_OK);
    EXPECT_EQ(Call(item.Get(), u"Text", DISPATCH_METHOD)->ResultText(), "gamma|s");
}

TEST_F(DispatchObjectTest, ReferencesAreCountedAndObjectsFreed)
{
    IUnknown* unknown = nullptr;
    ASSERT_EQ(item->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    EXPECT_EQ(unknown->Release(), 1u);
    void* other = &unknown;
    const IID foreign = {9, 9, 9, {9, 9, 9, 9, 9, 9, 9, 9}};
    EXPECT_EQ(item->QueryInterface(foreign, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);

    // The item keeps its collection alive.
    IDispatch* collection = items.Get();
    collection->AddRef();
    items.Reset();
    auto parent = Call(item.Get(), u"Parent", DISPATCH_PROPERTYGET);
    EXPECT_EQ(parent->result.pdispVal, collection);
    EXPECT_EQ(collection->Release(), 2u);  // the item's reference and the reply's
    EXPECT_EQ(Item::alive, 1);
}

TEST_F(DispatchObjectTest, TheProgramSeesRefusalsAsItsInvokeText)
{
    AutomationSession session;
    try {
        VARIANT result = session.CallMethod(item.Get(), u"delete");
        VariantClear(&result);
        FAIL() << "no exception";
    } catch (const COMException& e) {
        EXPECT_EQ(e.message, "IDispatch::Invoke(\"delete\"=60020008) failed w/err 0x80020009");
    }
    try {
        session.PutPropertyInt(item.Get(), u"Colour", 3);
        FAIL() << "no exception";
    } catch (const COMException& e) {
        EXPECT_EQ(e.message, "IDispatch::GetIDsOfNames(\"Colour\") failed w/err 0x80020006");
    }
    VARIANT size = session.CallMethodWithInts(item.Get(), u"Resize", 1, 2);
    EXPECT_EQ(Utf16ToUtf8(size.bstrVal), "1x2");
    VariantClear(&size);
    session.PutPropertyText(item.Get(), u"Name", "\xC3\xB6");
    VARIANT name = session.GetProperty(item.Get(), u"name");
    EXPECT_EQ(std::u16string(name.bstrVal), u"\u00F6");
    VariantClear(&name);
}

int watchedObjects = 0;

// A local server ends when this count falls to zero, so objects made inside
// a call must count as well as the one its factory made.
TEST(DispatchLifetimes, EveryObjectCountsFromItsMakingToItsFreeing)
{
    DispatchBase::WatchLifetimes([] { ++watchedObjects; }, [] { --watchedObjects; });
    {
        ComPtr<Items> items = MakeObject<Items>(std::vector<std::string>{"alpha"});
        auto reply = Call(items.Get(), u"Item", DISPATCH_METHOD, {IntVariant(1)});
        ASSERT_EQ(reply->result.vt, VT_DISPATCH);
        EXPECT_EQ(watchedObjects, 2);
        items.Reset();
        EXPECT_EQ(watchedObjects, 2);  // the item holds its collection
    }
    EXPECT_EQ(watchedObjects, 0);
    DispatchBase::WatchLifetimes(nullptr, nullptr);
}

}  // namespace
