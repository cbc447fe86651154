#include <gtest/gtest.h>

#include "office/dispatch/Argument.h"
#include "office/dispatch/AutomationError.h"
#include "office/dispatch/Utf8.h"

namespace {

HRESULT FailureOf(const std::function<void()>& read)
{
    try {
        read();
    } catch (const DispatchFailure& failure) {
        return failure.hr;
    }
    return S_OK;
}

TEST(Argument, ReadsThroughReferences)
{
    LONG number = 12;
    VARIANT inner;
    VariantInit(&inner);
    inner.vt = VT_I4 | VT_BYREF;
    inner.plVal = &number;
    VARIANT outer;
    VariantInit(&outer);
    outer.vt = VT_VARIANT | VT_BYREF;
    outer.pvarVal = &inner;
    const Argument argument(&outer, 0);
    EXPECT_EQ(argument.AsInt(), 12);
    EXPECT_EQ(argument.AsText(), u"12");
    EXPECT_EQ(argument.AsIndex().number, 12);
    EXPECT_FALSE(argument.AsIndex().byName);
}

TEST(Argument, MissingArgumentsAreNotOptionalWhenRead)
{
    const Argument absent(nullptr, 1);
    EXPECT_TRUE(absent.IsMissing());
    EXPECT_EQ(absent.Raw().vt, VT_EMPTY);
    EXPECT_EQ(FailureOf([&] { absent.AsInt(); }), DISP_E_PARAMNOTOPTIONAL);
}

TEST(Argument, TextOfBooleansAndDates)
{
    VARIANT flag;
    VariantInit(&flag);
    flag.vt = VT_BOOL;
    flag.boolVal = VARIANT_TRUE;
    EXPECT_EQ(Argument(&flag, 0).AsText(), u"True");
    VARIANT big;
    VariantInit(&big);
    big.vt = VT_R8;
    big.dblVal = 3e9;
    EXPECT_EQ(FailureOf([&] { Argument(&big, 0).AsInt(); }), DISP_E_OVERFLOW);
    EXPECT_DOUBLE_EQ(Argument(&big, 0).AsDouble(), 3e9);
}

TEST(Utf8, RoundTripsAndReplacesBrokenBytes)
{
    EXPECT_EQ(Utf8ToUtf16("Gr\xC3\xBC\xC3\x9F" "e \xF0\x9F\x98\x80"), u"Grüße \U0001F600");
    EXPECT_EQ(Utf16ToUtf8(u"Grüße \U0001F600"), "Gr\xC3\xBC\xC3\x9F" "e \xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8ToUtf16(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
    EXPECT_EQ(Utf8ToUtf16("\xFF"), u"\uFFFD");
    EXPECT_EQ(Utf8ToUtf16(""), u"");
}

}  // namespace
