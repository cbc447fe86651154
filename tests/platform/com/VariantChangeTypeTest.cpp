#include <gtest/gtest.h>

#include "platform/com/OleDate.h"
#include "platform/com/ole2.h"
#include "tests/support/ScriptedServer.h"

namespace {

class Value {
public:
    Value() { VariantInit(&v); }
    explicit Value(LONG n) : Value()
    {
        v.vt = VT_I4;
        v.lVal = n;
    }
    explicit Value(double d) : Value()
    {
        v.vt = VT_R8;
        v.dblVal = d;
    }
    explicit Value(const char16_t* text) : Value()
    {
        v.vt = VT_BSTR;
        v.bstrVal = SysAllocString(text);
    }
    static Value Bool(bool flag)
    {
        Value b;
        b.v.vt = VT_BOOL;
        b.v.boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
        return b;
    }
    static Value Short(SHORT n)
    {
        Value s;
        s.v.vt = VT_I2;
        s.v.iVal = n;
        return s;
    }
    Value(Value&& other) noexcept : v(other.v) { VariantInit(&other.v); }
    ~Value() { VariantClear(&v); }

    HRESULT To(VARTYPE vt, Value* out, USHORT flags = 0) const { return VariantChangeType(&out->v, &v, flags, vt); }
    std::u16string Text() const { return std::u16string(v.bstrVal, SysStringLen(v.bstrVal)); }

    VARIANT v;
};

TEST(VariantChangeType, NumbersBecomeBooleansAndBack)
{
    Value out;
    ASSERT_EQ(Value(LONG(1)).To(VT_BOOL, &out), S_OK);
    EXPECT_EQ(out.v.boolVal, VARIANT_TRUE);
    ASSERT_EQ(Value::Short(0).To(VT_BOOL, &out), S_OK);
    EXPECT_EQ(out.v.boolVal, VARIANT_FALSE);
    ASSERT_EQ(Value::Bool(true).To(VT_I4, &out), S_OK);
    EXPECT_EQ(out.v.lVal, -1);
    ASSERT_EQ(Value(u"True").To(VT_BOOL, &out), S_OK);
    EXPECT_EQ(out.v.boolVal, VARIANT_TRUE);
}

TEST(VariantChangeType, RealsRoundHalfToEvenAndOverflowIsReported)
{
    Value out;
    ASSERT_EQ(Value(2.5).To(VT_I4, &out), S_OK);
    EXPECT_EQ(out.v.lVal, 2);
    ASSERT_EQ(Value(3.5).To(VT_I4, &out), S_OK);
    EXPECT_EQ(out.v.lVal, 4);
    ASSERT_EQ(Value(-1.5).To(VT_I2, &out), S_OK);
    EXPECT_EQ(out.v.iVal, -2);
    EXPECT_EQ(Value(70000.0).To(VT_I2, &out), DISP_E_OVERFLOW);
    EXPECT_EQ(Value(LONG(-1)).To(VT_UI1, &out), DISP_E_OVERFLOW);
}

TEST(VariantChangeType, TextParsesAsUsEnglishNumbers)
{
    Value out;
    ASSERT_EQ(Value(u" 1,234.5 ").To(VT_R8, &out), S_OK);
    EXPECT_DOUBLE_EQ(out.v.dblVal, 1234.5);
    ASSERT_EQ(Value(u"-12").To(VT_I4, &out), S_OK);
    EXPECT_EQ(out.v.lVal, -12);
    ASSERT_EQ(Value(u"1.5E3").To(VT_I4, &out), S_OK);
    EXPECT_EQ(out.v.lVal, 1500);
    ASSERT_EQ(Value(u"&HFF").To(VT_I4, &out), S_OK);
    EXPECT_EQ(out.v.lVal, 255);
    EXPECT_EQ(Value(u"abc").To(VT_I4, &out), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Value(u"").To(VT_I4, &out), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Value(u"1,5").To(VT_R8, &out), S_OK);  // thousands separator, as en-US reads it
    EXPECT_DOUBLE_EQ(out.v.dblVal, 15);
    EXPECT_EQ(Value(u"1.2.3").To(VT_R8, &out), DISP_E_TYPEMISMATCH);
}

TEST(VariantChangeType, ValuesBecomeText)
{
    Value out;
    ASSERT_EQ(Value(LONG(-42)).To(VT_BSTR, &out), S_OK);
    EXPECT_EQ(out.Text(), u"-42");
    ASSERT_EQ(Value(0.1).To(VT_BSTR, &out), S_OK);
    EXPECT_EQ(out.Text(), u"0.1");
    ASSERT_EQ(Value(1e20).To(VT_BSTR, &out), S_OK);
    EXPECT_EQ(out.Text(), u"1E+20");
    ASSERT_EQ(Value::Bool(true).To(VT_BSTR, &out), S_OK);
    EXPECT_EQ(out.Text(), u"-1");
    ASSERT_EQ(Value::Bool(false).To(VT_BSTR, &out, VARIANT_ALPHABOOL), S_OK);
    EXPECT_EQ(out.Text(), u"False");
    ASSERT_EQ(Value().To(VT_BSTR, &out), S_OK);
    ASSERT_NE(out.v.bstrVal, nullptr);
    EXPECT_EQ(out.Text(), u"");
}

TEST(VariantChangeType, DatesReadAndWriteAsMonthDayYear)
{
    Value out;
    ASSERT_EQ(Value(u"12/8/2026 3:17:09 PM").To(VT_DATE, &out), S_OK);
    OleDateParts parts;
    ASSERT_TRUE(OleDateToParts(out.v.date, &parts));
    EXPECT_EQ(parts.year, 2026);
    EXPECT_EQ(parts.month, 12);
    EXPECT_EQ(parts.day, 8);
    EXPECT_EQ(parts.hour, 15);
    EXPECT_EQ(parts.second, 9);
    Value text;
    ASSERT_EQ(out.To(VT_BSTR, &text), S_OK);
    EXPECT_EQ(text.Text(), u"12/8/2026 3:17:09 PM");

    ASSERT_EQ(Value(u"2024-02-29").To(VT_DATE, &out), S_OK);
    ASSERT_EQ(out.To(VT_BSTR, &text), S_OK);
    EXPECT_EQ(text.Text(), u"2/29/2024");
    EXPECT_EQ(Value(u"2023-02-29").To(VT_DATE, &out), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Value(u"13/1/2024").To(VT_DATE, &out), DISP_E_TYPEMISMATCH);

    ASSERT_EQ(Value(2.0).To(VT_DATE, &out), S_OK);  // day 2 is 1 January 1900
    ASSERT_EQ(out.To(VT_BSTR, &text), S_OK);
    EXPECT_EQ(text.Text(), u"1/1/1900");
    ASSERT_EQ(Value(-1.25).To(VT_DATE, &out), S_OK);  // before the epoch the time still counts forward
    ASSERT_EQ(out.To(VT_BSTR, &text), S_OK);
    EXPECT_EQ(text.Text(), u"12/29/1899 6:00:00 AM");
}

TEST(VariantChangeType, ConvertsInPlace)
{
    Value v(u"7");
    ASSERT_EQ(VariantChangeType(&v.v, &v.v, 0, VT_I4), S_OK);
    EXPECT_EQ(v.v.vt, VT_I4);
    EXPECT_EQ(v.v.lVal, 7);
}

TEST(VariantChangeType, FailureLeavesTheTargetAlone)
{
    Value out(LONG(5));
    EXPECT_EQ(Value(u"x").To(VT_I4, &out), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(out.v.vt, VT_I4);
    EXPECT_EQ(out.v.lVal, 5);
}

TEST(VariantChangeType, ObjectGivesItsDefaultValue)
{
    ScriptedServer server;
    ScriptedObject& cell = server.Object("Cell");
    cell.Dispid(u"Value", DISPID_VALUE).Returns(u"Value", Answer::Text(u"12"));
    Value object;
    object.v.vt = VT_DISPATCH;
    object.v.pdispVal = &cell;
    cell.AddRef();
    Value out;
    ASSERT_EQ(object.To(VT_I4, &out), S_OK);
    EXPECT_EQ(out.v.lVal, 12);
    EXPECT_EQ(object.To(VT_I4, &out, VARIANT_NOVALUEPROP), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(server.CallTexts(), std::vector<std::string>{"get Cell.Value"});
}

TEST(VariantChangeType, NullAndNothingDoNotConvert)
{
    Value null;
    null.v.vt = VT_NULL;
    Value nothing;
    nothing.v.vt = VT_DISPATCH;
    Value out;
    EXPECT_EQ(null.To(VT_BSTR, &out), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(nothing.To(VT_I4, &out), DISP_E_TYPEMISMATCH);
}

}  // namespace
