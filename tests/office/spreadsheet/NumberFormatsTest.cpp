// Which format codes show dates and times, and the built-in table.
#include <gtest/gtest.h>

#include "office/spreadsheet/NumberFormats.h"

namespace office::spreadsheet {
namespace {

TEST(NumberFormatsTest, DateAndTimeFormatsAreRecognised)
{
    for (const char* code : {"m/d/yyyy", "d-mmm-yy", "h:mm AM/PM", "[h]:mm:ss", "[$-409]mmmm\\ d\\,\\ yyyy;@",
                             "mm/dd/yy;@", "yyyy/mm/dd", "[ss]"}) {
        EXPECT_TRUE(IsDateFormat(code)) << code;
    }
    for (const char* code : {"General", "0", "#,##0.00", "0.0%", "@", "0.00E+00", "_(\"$\"* #,##0_)",
                             "#,##0 \"days\"", "[Red]#,##0", "[$\xE2\x82\xAC-2] #,##0.00", "\\d0"}) {
        EXPECT_FALSE(IsDateFormat(code)) << code;
    }
}

TEST(NumberFormatsTest, BuiltInCodesAreTheApplicationsOwn)
{
    EXPECT_EQ(BuiltInFormatCode(14), "m/d/yyyy");
    EXPECT_EQ(BuiltInFormatCode(22), "m/d/yyyy h:mm");
    EXPECT_EQ(BuiltInFormatCode(37), "#,##0_);(#,##0)");
    EXPECT_EQ(BuiltInFormatCode(47), "mm:ss.0");
    EXPECT_EQ(BuiltInFormatCode(13), "# ?\?/?\?");
    EXPECT_FALSE(BuiltInFormatCode(5));
    EXPECT_EQ(BuiltInFormatId("@"), 49);
    EXPECT_FALSE(BuiltInFormatId(""));
}

}  // namespace
}  // namespace office::spreadsheet
