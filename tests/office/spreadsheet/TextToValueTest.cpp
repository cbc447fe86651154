// What a typed text becomes in a General cell.
#include <gtest/gtest.h>

#include "office/spreadsheet/TextToValue.h"

namespace office::spreadsheet {
namespace {

using Kind = TypedValue::Kind;

struct Case {
    const char* input;
    Kind kind;
    double number;
    const char* format;
};

TEST(TextToValueTest, NumbersPercentagesDatesTimesAndBooleans)
{
    const double jan2 = 43832;  // 2 January 2020
    const Case cases[] = {
        {"123", Kind::Number, 123, ""},
        {"-1.5", Kind::Number, -1.5, ""},
        {"+7", Kind::Number, 7, ""},
        {".5", Kind::Number, 0.5, ""},
        {"00123", Kind::Number, 123, ""},
        {"1e3", Kind::Number, 1000, "0.00E+00"},
        {"1.2E-05", Kind::Number, 1.2e-05, "0.00E+00"},
        {"1,234", Kind::Number, 1234, "#,##0"},
        {"1,234.50", Kind::Number, 1234.5, "#,##0.00"},
        {"(123)", Kind::Number, -123, ""},
        {"$1,234.50", Kind::Number, 1234.5, "$#,##0.00_);($#,##0.00)"},
        {"10%", Kind::Number, 0.1, "0%"},
        {"12.5%", Kind::Number, 0.125, "0.00%"},
        {"1/2/2020", Kind::Number, jan2, "m/d/yyyy"},
        {"1-2-2020", Kind::Number, jan2, "m/d/yyyy"},
        {"2020-01-02", Kind::Number, jan2, "m/d/yyyy"},
        {"13:45", Kind::Number, (13 * 60 + 45) / 1440.0, "h:mm"},
        {"1:45 PM", Kind::Number, (13 * 60 + 45) / 1440.0, "h:mm AM/PM"},
        {"13:45:10", Kind::Number, (13 * 3600 + 45 * 60 + 10) / 86400.0, "h:mm:ss"},
        {"1/2/2020 13:45", Kind::Number, jan2 + (13 * 60 + 45) / 1440.0, "m/d/yyyy h:mm"},
        {"Jan-20", Kind::Number, 43831, "mmm-yy"},
        {"TRUE", Kind::Boolean, 1, ""},
        {"false", Kind::Boolean, 0, ""},
    };
    for (const Case& c : cases) {
        TypedValue value = TextToValue(c.input, 2026);
        EXPECT_EQ(value.kind, c.kind) << c.input;
        EXPECT_DOUBLE_EQ(value.number, c.number) << c.input;
        EXPECT_EQ(value.format, c.format) << c.input;
    }
    EXPECT_DOUBLE_EQ(TextToValue("2-Jan", 2026).number, DateSerial(2026, 1, 2));
    EXPECT_EQ(TextToValue("2-Jan", 2026).format, "d-mmm");
}

TEST(TextToValueTest, TextStaysTextWhenItIsNotAValue)
{
    for (const char* input : {"Oslo", " 12", "12 ", "1,23", "12,3456", "2/30/2020", "25:00", "1.2.3", "$", "-", "1e",
                              "12abc", "Total: 5", "(5", "line\nbreak"}) {
        TypedValue value = TextToValue(input, 2026);
        EXPECT_EQ(value.kind, Kind::Text) << input;
        EXPECT_EQ(value.text, input);
    }
}

TEST(TextToValueTest, ApostrophesFormulasErrorsAndEmptyText)
{
    TypedValue quoted = TextToValue("'00123", 2026);
    EXPECT_EQ(quoted.kind, Kind::Text);
    EXPECT_EQ(quoted.text, "00123");
    EXPECT_TRUE(quoted.quotePrefix);
    TypedValue formula = TextToValue("=SUM(A1:A3)", 2026);
    EXPECT_EQ(formula.kind, Kind::Formula);
    EXPECT_EQ(formula.text, "SUM(A1:A3)");
    EXPECT_EQ(TextToValue("=", 2026).kind, Kind::Text);
    EXPECT_EQ(TextToValue("#n/a", 2026).kind, Kind::Error);
    EXPECT_EQ(TextToValue("#n/a", 2026).text, "#N/A");
    EXPECT_EQ(TextToValue("", 2026).kind, Kind::Empty);
}

TEST(TextToValueTest, DateSerialsFollowThe1900System)
{
    EXPECT_EQ(DateSerial(1900, 1, 1), 1);
    EXPECT_EQ(DateSerial(1900, 2, 28), 59);
    EXPECT_EQ(DateSerial(1900, 3, 1), 61);
    EXPECT_EQ(DateSerial(2026, 12, 7), 46363);
}

}  // namespace
}  // namespace office::spreadsheet
