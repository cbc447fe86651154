// SAFEARRAYs of objects, with a scripted object that counts its references.
#include <gtest/gtest.h>

#include "platform/com/ole2.h"
#include "tests/support/ScriptedServer.h"

namespace {

TEST(SafeArray, VariantElementsHoldTheirOwnCopies)
{
    ScriptedServer server;
    ScriptedObject& object = server.Object("Cell");
    SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 1, 2);
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_DISPATCH;
    value.pdispVal = &object;
    LONG at = 1;
    ASSERT_EQ(SafeArrayPutElement(array, &at, &value), S_OK);
    EXPECT_EQ(object.References(), 1u);

    SAFEARRAY* copy = nullptr;
    ASSERT_EQ(SafeArrayCopy(array, &copy), S_OK);
    EXPECT_EQ(object.References(), 2u);
    VARIANT out;
    ASSERT_EQ(SafeArrayGetElement(copy, &at, &out), S_OK);
    EXPECT_EQ(out.pdispVal, static_cast<IDispatch*>(&object));
    VariantClear(&out);

    EXPECT_EQ(SafeArrayDestroy(copy), S_OK);
    EXPECT_EQ(SafeArrayDestroy(array), S_OK);
    EXPECT_EQ(object.References(), 0u);
}

}  // namespace
