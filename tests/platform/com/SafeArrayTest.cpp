#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <ole2.h>

namespace {

using WideString = std::basic_string<OLECHAR>;

// Two rows from 1, three columns from 0: bounds given in the caller's order.
SAFEARRAY* RowsAndColumns(VARTYPE vt)
{
    SAFEARRAYBOUND bounds[2] = {{2, 1}, {3, 0}};
    return SafeArrayCreate(vt, 2, bounds);
}

TEST(SafeArray, BoundsComeBackInTheCallersOrder)
{
    SAFEARRAY* array = RowsAndColumns(VT_BSTR);
    ASSERT_NE(array, nullptr);
    EXPECT_EQ(SafeArrayGetDim(array), 2u);
    LONG low = 0;
    LONG high = 0;
    EXPECT_EQ(SafeArrayGetLBound(array, 1, &low), S_OK);
    EXPECT_EQ(SafeArrayGetUBound(array, 1, &high), S_OK);
    EXPECT_EQ(low, 1);
    EXPECT_EQ(high, 2);
    EXPECT_EQ(SafeArrayGetLBound(array, 2, &low), S_OK);
    EXPECT_EQ(SafeArrayGetUBound(array, 2, &high), S_OK);
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, 2);
    EXPECT_EQ(SafeArrayGetUBound(array, 3, &high), DISP_E_BADINDEX);
    EXPECT_EQ(SafeArrayGetLBound(array, 0, &low), DISP_E_BADINDEX);
    // As on Windows the descriptor keeps the last dimension first.
    EXPECT_EQ(array->rgsabound[0].cElements, 3u);
    VARTYPE vt = VT_EMPTY;
    EXPECT_EQ(SafeArrayGetVartype(array, &vt), S_OK);
    EXPECT_EQ(vt, VT_BSTR);
    EXPECT_EQ(SafeArrayDestroy(array), S_OK);
}

TEST(SafeArray, TextElementsAreCopiedInAndOut)
{
    SAFEARRAY* array = RowsAndColumns(VT_BSTR);
    BSTR text = SysAllocString(OLESTR("Oslo"));
    LONG at[2] = {2, 1};
    ASSERT_EQ(SafeArrayPutElement(array, at, text), S_OK);
    text[0] = u'X';  // the array kept its own copy
    SysFreeString(text);

    BSTR out = nullptr;
    ASSERT_EQ(SafeArrayGetElement(array, at, &out), S_OK);
    EXPECT_EQ(WideString(out), OLESTR("Oslo"));
    SysFreeString(out);

    // Putting again frees the previous element.
    BSTR again = SysAllocString(OLESTR("Bergen"));
    ASSERT_EQ(SafeArrayPutElement(array, at, again), S_OK);
    SysFreeString(again);

    LONG outside[2] = {3, 0};
    EXPECT_EQ(SafeArrayPutElement(array, outside, nullptr), DISP_E_BADINDEX);
    LONG before[2] = {0, 0};
    EXPECT_EQ(SafeArrayGetElement(array, before, &out), DISP_E_BADINDEX);
    EXPECT_EQ(SafeArrayDestroy(array), S_OK);
}

TEST(SafeArray, FirstIndexVariesFastestInMemory)
{
    SAFEARRAY* array = RowsAndColumns(VT_I4);
    void* first = nullptr;
    void* next = nullptr;
    LONG a[2] = {1, 0};
    LONG b[2] = {2, 0};
    SafeArrayPtrOfIndex(array, a, &first);
    SafeArrayPtrOfIndex(array, b, &next);
    EXPECT_EQ(static_cast<BYTE*>(next) - static_cast<BYTE*>(first), 4);
    SafeArrayDestroy(array);
}

TEST(SafeArray, LockedArrayIsNotDestroyed)
{
    SAFEARRAY* array = SafeArrayCreateVector(VT_R8, 0, 3);
    void* data = nullptr;
    ASSERT_EQ(SafeArrayAccessData(array, &data), S_OK);
    static_cast<double*>(data)[2] = 1.5;
    EXPECT_EQ(SafeArrayDestroy(array), DISP_E_ARRAYISLOCKED);
    EXPECT_EQ(SafeArrayUnaccessData(array), S_OK);
    double out = 0;
    LONG at = 2;
    EXPECT_EQ(SafeArrayGetElement(array, &at, &out), S_OK);
    EXPECT_EQ(out, 1.5);
    EXPECT_EQ(SafeArrayUnlock(array), E_UNEXPECTED);
    EXPECT_EQ(SafeArrayDestroy(array), S_OK);
}

TEST(SafeArray, ArrayVariantsCopyAndClearTheirArray)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_ARRAY | VT_BSTR;
    v.parray = RowsAndColumns(VT_BSTR);
    BSTR text = SysAllocString(OLESTR("x"));
    LONG at[2] = {1, 2};
    SafeArrayPutElement(v.parray, at, text);
    SysFreeString(text);
    VARIANT copy;
    VariantInit(&copy);
    ASSERT_EQ(VariantCopy(&copy, &v), S_OK);
    EXPECT_NE(copy.parray, v.parray);
    BSTR out = nullptr;
    SafeArrayGetElement(copy.parray, at, &out);
    EXPECT_EQ(WideString(out), OLESTR("x"));
    SysFreeString(out);
    VariantClear(&copy);
    VariantClear(&v);
}

TEST(SafeArray, RefusesWhatItCannotHold)
{
    SAFEARRAYBOUND bound = {1, 0};
    EXPECT_EQ(SafeArrayCreate(VT_BSTR, 0, &bound), nullptr);
    EXPECT_EQ(SafeArrayCreate(VT_NULL, 1, &bound), nullptr);
    // 2^32 elements: the count overflows 32 bits. Wine 8 (64-bit) hands out an
    // array all the same.
    SAFEARRAYBOUND huge[2] = {{0x10000, 0}, {0x10000, 0}};
    SAFEARRAY* tooLarge = SafeArrayCreate(VT_VARIANT, 2, huge);
    if (std::getenv("TOLVANE_UNDER_WINE") == nullptr) {
        EXPECT_EQ(tooLarge, nullptr);
    }
    if (tooLarge != nullptr) {
        SafeArrayDestroy(tooLarge);
    }
}

}  // namespace
