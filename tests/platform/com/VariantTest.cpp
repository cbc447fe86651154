#include <gtest/gtest.h>

#include "platform/com/ole2.h"
#include "tests/support/ScriptedServer.h"

namespace {

TEST(Variant, ClearFreesTextAndReleasesObjects)
{
    ScriptedServer server;
    ScriptedObject& object = server.Object("Range");
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_DISPATCH;
    object.AddRef();
    v.pdispVal = &object;
    EXPECT_EQ(object.References(), 1u);
    EXPECT_EQ(VariantClear(&v), S_OK);
    EXPECT_EQ(object.References(), 0u);
    EXPECT_EQ(v.vt, VT_EMPTY);

    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(u"freed under the sanitizers");
    EXPECT_EQ(VariantClear(&v), S_OK);
}

TEST(Variant, ClearLeavesReferencedValuesAlone)
{
    BSTR owned = SysAllocString(u"kept");
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR | VT_BYREF;
    v.pbstrVal = &owned;
    EXPECT_EQ(VariantClear(&v), S_OK);
    EXPECT_EQ(std::u16string(owned), u"kept");
    SysFreeString(owned);
}

TEST(Variant, ClearRefusesUnknownTypes)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = 0x0fff;
    EXPECT_EQ(VariantClear(&v), DISP_E_BADVARTYPE);
}

TEST(Variant, CopyIsDeep)
{
    ScriptedServer server;
    ScriptedObject& object = server.Object("Sheet");
    VARIANT source;
    VARIANT copy;
    VariantInit(&source);
    VariantInit(&copy);
    source.vt = VT_BSTR;
    source.bstrVal = SysAllocStringLen(u"a\0b", 3);
    ASSERT_EQ(VariantCopy(&copy, &source), S_OK);
    EXPECT_NE(copy.bstrVal, source.bstrVal);
    EXPECT_EQ(SysStringLen(copy.bstrVal), 3u);

    // Copying over a variant clears what it held.
    VariantClear(&source);
    source.vt = VT_DISPATCH;
    source.pdispVal = &object;
    object.AddRef();
    ASSERT_EQ(VariantCopy(&copy, &source), S_OK);
    EXPECT_EQ(object.References(), 2u);
    VariantClear(&copy);
    VariantClear(&source);
    EXPECT_EQ(object.References(), 0u);
}

TEST(Variant, CopyIndFollowsTheReference)
{
    LONG number = 42;
    VARIANT ref;
    VariantInit(&ref);
    ref.vt = VT_I4 | VT_BYREF;
    ref.plVal = &number;
    VARIANT copy;
    VariantInit(&copy);
    ASSERT_EQ(VariantCopyInd(&copy, &ref), S_OK);
    EXPECT_EQ(copy.vt, VT_I4);
    EXPECT_EQ(copy.lVal, 42);
}

}  // namespace
