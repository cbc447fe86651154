#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include <ole2.h>

namespace {

using WideString = std::basic_string<OLECHAR>;

DWORD BytePrefix(BSTR text)
{
    DWORD length = 0;
    std::memcpy(&length, reinterpret_cast<const BYTE*>(text) - sizeof(DWORD), sizeof length);
    return length;
}

TEST(Bstr, CarriesItsByteLengthBeforeTheTextAndATerminatorAfter)
{
    BSTR text = SysAllocString(OLESTR("Kunde"));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(BytePrefix(text), 10u);
    EXPECT_EQ(SysStringLen(text), 5u);
    EXPECT_EQ(SysStringByteLen(text), 10u);
    EXPECT_EQ(text[5], OLECHAR{});
    SysFreeString(text);
}

TEST(Bstr, LengthCountsEmbeddedZerosAndEmptyIsNotNull)
{
    const OLECHAR withZero[] = {OLECHAR('a'), OLECHAR{}, OLECHAR('b')};
    BSTR text = SysAllocStringLen(withZero, 3);
    EXPECT_EQ(SysStringLen(text), 3u);
    EXPECT_EQ(text[2], OLECHAR('b'));
    SysFreeString(text);

    BSTR empty = SysAllocString(OLESTR(""));
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(SysStringLen(empty), 0u);
    SysFreeString(empty);

    BSTR blank = SysAllocStringLen(nullptr, 4);
    EXPECT_EQ(SysStringLen(blank), 4u);
    EXPECT_EQ(WideString(blank, 4), WideString(4, OLECHAR{}));
    SysFreeString(blank);
}

TEST(Bstr, NullMeansEmpty)
{
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    SysFreeString(nullptr);
}

TEST(Bstr, ReallocationReplacesTheText)
{
    BSTR text = SysAllocString(OLESTR("old"));
    EXPECT_TRUE(SysReAllocString(&text, OLESTR("newer")));
    EXPECT_EQ(WideString(text), OLESTR("newer"));
    SysFreeString(text);
}

TEST(Guid, InterfaceIdentifiersHaveTheirRealValues)
{
    const IID dispatch = {0x00020400, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    EXPECT_TRUE(IsEqualIID(IID_IDispatch, dispatch));
    EXPECT_EQ(IID_IUnknown.Data1, 0u);
    EXPECT_EQ(IID_IUnknown.Data4[0], 0xC0);
    EXPECT_FALSE(IsEqualIID(IID_IUnknown, IID_NULL));
    EXPECT_EQ(static_cast<ULONG>(DISP_E_UNKNOWNNAME), 0x80020006u);
    EXPECT_EQ(static_cast<ULONG>(CO_E_NOTINITIALIZED), 0x800401F0u);
    EXPECT_EQ(LOCALE_USER_DEFAULT, 0x0400);
    EXPECT_EQ(LOCALE_SYSTEM_DEFAULT, 0x0800);
}

}  // namespace
