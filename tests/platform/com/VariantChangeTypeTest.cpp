#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <ole2.h>

namespace {

using WideString = std::basic_string<OLECHAR>;

// Where Wine answers otherwise than this layer, the tests say so; tests/windows/wine-run sets this.
const bool kUnderWine = std::getenv("TOLVANE_UNDER_WINE") != nullptr;

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
    explicit Value(const OLECHAR* text) : Value()
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

    // mingw-w64 declares the source without const.
    HRESULT To(VARTYPE vt, Value* out, USHORT flags = 0) const
    {
        return VariantChangeType(&out->v, const_cast<VARIANT*>(&v), flags, vt);
    }
    WideString Text() const { return WideString(v.bstrVal, SysStringLen(v.bstrVal)); }

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
    ASSERT_EQ(Value(OLESTR("True")).To(VT_BOOL, &out), S_OK);
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
    ASSERT_EQ(Value(OLESTR(" 1,234.5 ")).To(VT_R8, &out), S_OK);
    EXPECT_DOUBLE_EQ(out.v.dblVal, 1234.5);
    ASSERT_EQ(Value(OLESTR("-12")).To(VT_I4, &out), S_OK);
    EXPECT_EQ(out.v.lVal, -12);
    ASSERT_EQ(Value(OLESTR("1.5E3")).To(VT_I4, &out), S_OK);
    EXPECT_EQ(out.v.lVal, 1500);
    ASSERT_EQ(Value(OLESTR("&HFF")).To(VT_I4, &out), S_OK);
    EXPECT_EQ(out.v.lVal, 255);
    EXPECT_EQ(Value(OLESTR("abc")).To(VT_I4, &out), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Value(OLESTR("")).To(VT_I4, &out), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Value(OLESTR("1,5")).To(VT_R8, &out), S_OK);  // thousands separator, as en-US reads it
    EXPECT_DOUBLE_EQ(out.v.dblVal, 15);
    EXPECT_EQ(Value(OLESTR("1.2.3")).To(VT_R8, &out), DISP_E_TYPEMISMATCH);
}

TEST(VariantChangeType, ValuesBecomeText)
{
    Value out;
    ASSERT_EQ(Value(LONG(-42)).To(VT_BSTR, &out), S_OK);
    EXPECT_EQ(out.Text(), OLESTR("-42"));
    ASSERT_EQ(Value(0.1).To(VT_BSTR, &out), S_OK);
    EXPECT_EQ(out.Text(), OLESTR("0.1"));
    ASSERT_EQ(Value(1e20).To(VT_BSTR, &out), S_OK);
    EXPECT_EQ(out.Text(), OLESTR("1E+20"));
    ASSERT_EQ(Value::Bool(true).To(VT_BSTR, &out), S_OK);
    EXPECT_EQ(out.Text(), OLESTR("-1"));
    ASSERT_EQ(Value::Bool(false).To(VT_BSTR, &out, VARIANT_ALPHABOOL), S_OK);
    EXPECT_EQ(out.Text(), OLESTR("False"));
    ASSERT_EQ(Value().To(VT_BSTR, &out), S_OK);
    ASSERT_NE(out.v.bstrVal, nullptr);
    EXPECT_EQ(out.Text(), OLESTR(""));
}

TEST(VariantChangeType, DatesReadAndWriteAsMonthDayYear)
{
    Value out;
    ASSERT_EQ(Value(OLESTR("12/8/2026 3:17:09 PM")).To(VT_DATE, &out), S_OK);
    EXPECT_DOUBLE_EQ(out.v.date, 46364.0 + (15 * 3600 + 17 * 60 + 9) / 86400.0);  // days since 30 December 1899
    Value text;
    ASSERT_EQ(out.To(VT_BSTR, &text), S_OK);
    EXPECT_EQ(text.Text(), OLESTR("12/8/2026 3:17:09 PM"));

    ASSERT_EQ(Value(OLESTR("2024-02-29")).To(VT_DATE, &out), S_OK);
    ASSERT_EQ(out.To(VT_BSTR, &text), S_OK);
    EXPECT_EQ(text.Text(), OLESTR("2/29/2024"));
    EXPECT_EQ(Value(OLESTR("2023-02-29")).To(VT_DATE, &out), DISP_E_TYPEMISMATCH);
    // Where month/day/year is no date, year/month/day and then day/month/year are tried.
    ASSERT_EQ(Value(OLESTR("13/1/2024")).To(VT_DATE, &out), S_OK);
    ASSERT_EQ(out.To(VT_BSTR, &text), S_OK);
    EXPECT_EQ(text.Text(), OLESTR("1/13/2024"));
    ASSERT_EQ(Value(OLESTR("14/2/3")).To(VT_DATE, &out), S_OK);
    ASSERT_EQ(out.To(VT_BSTR, &text), S_OK);
    EXPECT_EQ(text.Text(), OLESTR("2/3/2014"));
    EXPECT_EQ(Value(OLESTR("13/13/2024")).To(VT_DATE, &out), DISP_E_TYPEMISMATCH);

    ASSERT_EQ(Value(2.0).To(VT_DATE, &out), S_OK);  // day 2 is 1 January 1900
    ASSERT_EQ(out.To(VT_BSTR, &text), S_OK);
    EXPECT_EQ(text.Text(), OLESTR("1/1/1900"));
    ASSERT_EQ(Value(-1.25).To(VT_DATE, &out), S_OK);  // before the epoch the time still counts forward
    ASSERT_EQ(out.To(VT_BSTR, &text), S_OK);
    EXPECT_EQ(text.Text(), OLESTR("12/29/1899 6:00:00 AM"));
}

TEST(VariantChangeType, ConvertsInPlace)
{
    Value v(OLESTR("7"));
    ASSERT_EQ(VariantChangeType(&v.v, &v.v, 0, VT_I4), S_OK);
    EXPECT_EQ(v.v.vt, VT_I4);
    EXPECT_EQ(v.v.lVal, 7);
}

TEST(VariantChangeType, FailureLeavesTheTargetAlone)
{
    Value out(LONG(5));
    EXPECT_EQ(Value(OLESTR("x")).To(VT_I4, &out), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(out.v.vt, VT_I4);
    EXPECT_EQ(out.v.lVal, 5);
}

TEST(VariantChangeType, NullAndNothingDoNotConvert)
{
    Value null;
    null.v.vt = VT_NULL;
    Value nothing;
    nothing.v.vt = VT_DISPATCH;
    Value out;
    EXPECT_EQ(null.To(VT_BSTR, &out), DISP_E_TYPEMISMATCH);
    // Nothing (an object variant without an object): Wine 8 calls it a bad type.
    EXPECT_EQ(nothing.To(VT_I4, &out), kUnderWine ? DISP_E_BADVARTYPE : DISP_E_TYPEMISMATCH);
}

}  // namespace
