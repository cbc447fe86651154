#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "automation/AutomationSession.h"
#include "tests/support/OleText.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/Variants.h"

using ::testing::_;
using ::testing::ElementsAre;
using ::testing::Return;

namespace {

class MockDispatch : public IDispatch {
public:
    MOCK_METHOD(HRESULT, QueryInterface, (REFIID, void**), (override, Calltype(STDMETHODCALLTYPE)));
    MOCK_METHOD(ULONG, AddRef, (), (override, Calltype(STDMETHODCALLTYPE)));
    MOCK_METHOD(ULONG, Release, (), (override, Calltype(STDMETHODCALLTYPE)));
    MOCK_METHOD(HRESULT, GetTypeInfoCount, (UINT*), (override, Calltype(STDMETHODCALLTYPE)));
    MOCK_METHOD(HRESULT, GetTypeInfo, (UINT, LCID, ITypeInfo**), (override, Calltype(STDMETHODCALLTYPE)));
    MOCK_METHOD(HRESULT, GetIDsOfNames, (REFIID, LPOLESTR*, UINT, LCID, DISPID*), (override, Calltype(STDMETHODCALLTYPE)));
    MOCK_METHOD(HRESULT, Invoke, (DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*), (override, Calltype(STDMETHODCALLTYPE)));
};

std::string ThrownText(const std::function<void()>& call)
{
    try {
        call();
    } catch (const COMException& e) {
        return e.message;
    }
    return "(nothing thrown)";
}

class AutoWrapTest : public ::testing::Test {
protected:
    ScriptedServer server;
    ScriptedObject& app = server.Root();
    AutomationSession session;
};

TEST_F(AutoWrapTest, LooksUpWithUserLocaleAndInvokesWithSystemLocaleWithoutErrorOutputs)
{
    MockDispatch target;
    EXPECT_CALL(target, GetIDsOfNames(_, _, 1, LOCALE_USER_DEFAULT, _))
        .WillOnce([](REFIID riid, LPOLESTR* names, UINT, LCID, DISPID* id) {
            EXPECT_TRUE(IsEqualIID(riid, IID_NULL));
            EXPECT_EQ(FromOle(names[0]), u"Documents");
            *id = 6;
            return S_OK;
        });
    EXPECT_CALL(target, Invoke(6, _, LOCALE_SYSTEM_DEFAULT, DISPATCH_PROPERTYGET, _, _, nullptr, nullptr))
        .WillOnce([](DISPID, REFIID riid, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*, UINT*) {
            EXPECT_TRUE(IsEqualIID(riid, IID_NULL));
            EXPECT_EQ(params->cArgs, 0u);
            EXPECT_EQ(params->cNamedArgs, 0u);
            EXPECT_EQ(params->rgdispidNamedArgs, nullptr);
            EXPECT_NE(params->rgvarg, nullptr);  // the one spare slot
            result->vt = VT_I4;
            result->lVal = 7;
            return S_FALSE;
        });
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(session.AutoWrap(DISPATCH_PROPERTYGET, &result, &target, OLESTR("Documents"), 0), S_FALSE);
    EXPECT_EQ(result.lVal, 7);
}

TEST_F(AutoWrapTest, CallWithoutArgumentsPassesAnEmptyList)
{
    VARIANT result = session.CallMethod(&app, OLESTR("Activate"));
    const RecordedCall call = server.Calls().at(0);
    EXPECT_EQ(call.Text(), "call Application.Activate()");
    EXPECT_TRUE(call.slots.empty());
    EXPECT_TRUE(call.namedArgs.empty());
    EXPECT_EQ(call.lcid, LOCALE_SYSTEM_DEFAULT);
    EXPECT_FALSE(call.exceptionInfoPassed);
    EXPECT_EQ(result.vt, VT_EMPTY);
}

TEST_F(AutoWrapTest, PutPassesItsValueAsTheSingleNamedArgument)
{
    session.PutPropertyInt(&app, OLESTR("Visible"), 0);
    const RecordedCall call = server.Calls().at(0);
    EXPECT_EQ(call.kind, DISPATCH_PROPERTYPUT);
    EXPECT_THAT(call.slots, ElementsAre("0"));
    EXPECT_THAT(call.namedArgs, ElementsAre(DISPID_PROPERTYPUT));
    EXPECT_EQ(call.Text(), "put Application.Visible = 0");
}

TEST_F(AutoWrapTest, ArgumentsTravelLastFirstSoTheServerSeesThemInOrder)
{
    VARIANT result = session.CallMethodWithInts(&app, OLESTR("GoTo"), 1, 2);
    VariantClear(&result);
    const RecordedCall call = server.Calls().at(0);
    EXPECT_THAT(call.slots, ElementsAre("2", "1"));
    EXPECT_THAT(call.arguments, ElementsAre("1", "2"));

    VARIANT text = TextVariant(u"b");
    session.AutoWrap(DISPATCH_METHOD, nullptr, &app, OLESTR("Three"), 3, IntVariant(1), text, IntVariant(3));
    EXPECT_THAT(server.Calls().at(1).slots, ElementsAre("3", "\"b\"", "1"));
    // AutoWrap copies shallowly and never clears the caller's arguments.
    EXPECT_EQ(FromOle(text.bstrVal), u"b");
    VariantClear(&text);
}

TEST_F(AutoWrapTest, UnknownMemberFailsInTheLookup)
{
    app.Unknown(u"Frobnicate");
    EXPECT_EQ(ThrownText([&] { session.CallMethod(&app, OLESTR("Frobnicate")); }),
              "IDispatch::GetIDsOfNames(\"Frobnicate\") failed w/err 0x80020006");
    EXPECT_THAT(server.CallTexts(), ElementsAre("lookup Application.Frobnicate failed"));
}

TEST_F(AutoWrapTest, RefusedCallNamesTheMemberAndItsDispid)
{
    app.Dispid(u"Close", 0x115).Fails(u"Close", DISP_E_EXCEPTION, "locked");
    EXPECT_EQ(ThrownText([&] { session.CallMethodWithBool(&app, OLESTR("Close"), false); }),
              "IDispatch::Invoke(\"Close\"=00000115) failed w/err 0x80020009");

    app.Dispid(u"Value", 6).Fails(u"Value", DISP_E_TYPEMISMATCH);
    EXPECT_EQ(ThrownText([&] { session.PutPropertyInt(&app, OLESTR("Value"), 1); }),
              "IDispatch::Invoke(\"Value\"=00000006) failed w/err 0x80020005");
}

TEST_F(AutoWrapTest, NullTargetIsRefusedBeforeAnyCall)
{
    EXPECT_EQ(ThrownText([&] { session.GetProperty(nullptr, OLESTR("Documents")); }), "NULL IDispatch passed to AutoWrap()");
    EXPECT_TRUE(server.Calls().empty());
}

TEST_F(AutoWrapTest, OverlongMemberNameIsCutInTheMessage)
{
    const std::u16string longName(300, u'x');
    app.Unknown(longName);
    const std::string text = ThrownText([&] { session.CallMethod(&app, ToOle(longName).c_str()); });
    EXPECT_EQ(text, "IDispatch::GetIDsOfNames(\"" + std::string(199, 'x') + "\") failed w/err 0x80020006");
}

}  // namespace
