// VariantChangeType on an object: it asks the object for its default value.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/com/ole2.h"
#include "tests/support/ScriptedServer.h"

namespace {

TEST(VariantChangeType, ObjectGivesItsDefaultValue)
{
    ScriptedServer server;
    ScriptedObject& cell = server.Object("Cell");
    cell.Dispid(u"Value", DISPID_VALUE).Returns(u"Value", Answer::Text(u"12"));
    VARIANT object;
    VariantInit(&object);
    object.vt = VT_DISPATCH;
    object.pdispVal = &cell;
    cell.AddRef();
    VARIANT out;
    VariantInit(&out);
    ASSERT_EQ(VariantChangeType(&out, &object, 0, VT_I4), S_OK);
    EXPECT_EQ(out.lVal, 12);
    EXPECT_EQ(VariantChangeType(&out, &object, VARIANT_NOVALUEPROP, VT_I4), DISP_E_TYPEMISMATCH);
    VariantClear(&object);
    EXPECT_EQ(server.CallTexts(), std::vector<std::string>{"get Cell.Value"});
}

}  // namespace
