#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "automation/AutomationSession.h"
#include "tests/support/OleText.h"
#include "tests/support/ScriptedServer.h"

using ::testing::ElementsAre;

namespace {

class CallWrappersTest : public ::testing::Test {
protected:
    std::string Only() const
    {
        const auto texts = server.CallTexts();
        return texts.size() == 1 ? texts[0] : "(" + std::to_string(texts.size()) + " calls)";
    }

    ScriptedServer server;
    ScriptedObject& app = server.Root();
    AutomationSession session;
};

TEST_F(CallWrappersTest, EachWrapperBuildsItsArgumentShapes)
{
    struct Case {
        std::function<VARIANT(AutomationSession&, IDispatch*)> call;
        const char* expected;
    };
    const Case cases[] = {
        {[](AutomationSession& s, IDispatch* o) { return s.GetProperty(o, OLESTR("Name")); }, "get Application.Name"},
        {[](AutomationSession& s, IDispatch* o) { return s.GetPropertyByText(o, OLESTR("Item"), OLESTR("Kunde")); },
         "get Application.Item(\"Kunde\")"},
        {[](AutomationSession& s, IDispatch* o) { return s.GetPropertyByInt(o, OLESTR("Borders"), 8); },
         "get Application.Borders(8)"},
        {[](AutomationSession& s, IDispatch* o) { return s.GetPropertyByInts(o, OLESTR("Cells"), 3, 4); },
         "get Application.Cells(3, 4)"},
        {[](AutomationSession& s, IDispatch* o) { return s.CallMethod(o, OLESTR("Copy")); }, "call Application.Copy()"},
        {[](AutomationSession& s, IDispatch* o) { return s.CallMethodWithText(o, OLESTR("Add"), OLESTR("t.dotx")); },
         "call Application.Add(\"t.dotx\")"},
        {[](AutomationSession& s, IDispatch* o) { return s.CallMethodWithBool(o, OLESTR("Quit"), false); },
         "call Application.Quit(false)"},
        {[](AutomationSession& s, IDispatch* o) { return s.CallMethodWithInt(o, OLESTR("EndOf"), 4); },
         "call Application.EndOf(4)"},
        {[](AutomationSession& s, IDispatch* o) { return s.CallMethodWithInts(o, OLESTR("GoTo"), 1, 1); },
         "call Application.GoTo(1, 1)"},
        {[](AutomationSession& s, IDispatch* o) {
             return s.CallMethodWithTextBoolIntText(o, OLESTR("Add"), OLESTR("Template"), false, 4, OLESTR("a.xltx"));
         },
         "call Application.Add(\"Template\", false, 4, \"a.xltx\")"},
        {[](AutomationSession& s, IDispatch* o) {
             return s.CallMethodWithTextBoolIntInt(o, OLESTR("Add"), OLESTR("Group"), false, 1, 7);
         },
         "call Application.Add(\"Group\", false, 1, 7)"},
    };
    for (const Case& c : cases) {
        server.ClearCalls();
        VARIANT result = c.call(session, &app);
        EXPECT_EQ(Only(), c.expected);
        EXPECT_EQ(result.vt, VT_EMPTY);
    }
}

TEST_F(CallWrappersTest, BoolFlagTravelsAsItsByteZeroExtended)
{
    session.CallMethodWithBool(&app, OLESTR("Quit"), true);
    EXPECT_EQ(Only(), "call Application.Quit(BOOL:1)");
}

TEST_F(CallWrappersTest, PutWrappers)
{
    session.PutPropertyInt(&app, OLESTR("WindowState"), -4143);
    session.PutPropertyText(&app, OLESTR("Caption"), "Report");
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocString(OLESTR("@"));
    session.PutPropertyVariant(&app, OLESTR("NumberFormat"), value);
    EXPECT_THAT(server.CallTexts(), ElementsAre("put Application.WindowState = -4143",
                                                "put Application.Caption = \"Report\"",
                                                "put Application.NumberFormat = \"@\""));
    // The caller's variant is passed unchanged and stays the caller's.
    EXPECT_EQ(FromOle(value.bstrVal), u"@");
    VariantClear(&value);
}

TEST_F(CallWrappersTest, PutPropertyTextWithEmptyTextPutsAZeroLengthString)
{
    session.PutPropertyText(&app, OLESTR("AttachedTemplate"), "");
    EXPECT_EQ(Only(), "put Application.AttachedTemplate = \"\"");
}

TEST_F(CallWrappersTest, PutPropertyTextDecodesUtf8)
{
    session.PutPropertyText(&app, OLESTR("Value"), "\xC3\xB6");
    // One character U+00F6, not one per byte (which would read back as C3 83 C2 B6).
    EXPECT_EQ(Only(), "put Application.Value = \"\xC3\xB6\"");
}

TEST_F(CallWrappersTest, GetPropertyByVariantsPassesBothUnchangedAndLeavesThemToTheCaller)
{
    VARIANT a;
    VARIANT b;
    VariantInit(&a);
    VariantInit(&b);
    a.vt = VT_DISPATCH;
    a.pdispVal = &server.Object("Cell1");
    a.pdispVal->AddRef();
    b.vt = VT_BSTR;
    b.bstrVal = SysAllocString(OLESTR("B7"));
    VARIANT result = session.GetPropertyByVariants(&app, OLESTR("Range"), a, b);
    EXPECT_EQ(Only(), "get Application.Range(<Cell1>, \"B7\")");
    EXPECT_EQ(server.Object("Cell1").References(), 1u);
    EXPECT_EQ(result.vt, VT_EMPTY);
    VariantClear(&a);
    VariantClear(&b);
}

TEST_F(CallWrappersTest, ResultsBelongToTheCaller)
{
    ScriptedObject& documents = server.Object("Documents");
    app.Returns(u"Documents", Answer::Object(documents)).Returns(u"Count", Answer::Int(3)).Returns(
        u"Name", Answer::Text(u"Document1"));
    VARIANT docs = session.GetProperty(&app, OLESTR("Documents"));
    ASSERT_EQ(docs.vt, VT_DISPATCH);
    EXPECT_EQ(docs.pdispVal, static_cast<IDispatch*>(&documents));
    EXPECT_EQ(documents.References(), 1u);
    VariantClear(&docs);
    EXPECT_EQ(documents.References(), 0u);

    VARIANT count = session.GetProperty(&app, OLESTR("count"));
    EXPECT_EQ(count.vt, VT_I4);
    EXPECT_EQ(count.lVal, 3);
    VARIANT name = session.GetProperty(&app, OLESTR("Name"));
    EXPECT_EQ(FromOle(name.bstrVal), u"Document1");
    VariantClear(&name);
}

TEST(MakeTextVariant, WritesOnlyTheTypeAndTheString)
{
    VARIANT v;
    VariantInit(&v);
    v.wReserved1 = 0x1234;
    AutomationSession::MakeTextVariant(&v, "Gr\xC3\xBC\xC3\x9F" "e");
    EXPECT_EQ(v.vt, VT_BSTR);
    EXPECT_EQ(v.wReserved1, 0x1234);
    EXPECT_EQ(FromOle(v.bstrVal, SysStringLen(v.bstrVal)), u"Grüße");
    VariantClear(&v);

    AutomationSession::MakeTextVariant(&v, "");
    ASSERT_NE(v.bstrVal, nullptr);
    EXPECT_EQ(SysStringLen(v.bstrVal), 0u);
    VariantClear(&v);
}

}  // namespace
