// Values written into cells: one range at a time with its number format
// refreshed, and whole record columns as one array with long values apart.
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "automation/COMException.h"
#include "tests/excel/ScriptedWorkbook.h"

using ::testing::ElementsAre;

namespace {

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

class CellValuesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        first.Returns(u"Row", Answer::Int(7));
        first.Returns(u"Column", Answer::Int(3));
        first.Returns(u"NumberFormat", Answer::Text(u"General"));
    }

    void Formatted()
    {
        first.Returns(u"NumberFormat", Answer::Text(u"#,##0.00"));
        first.Returns(u"NumberFormatLocal", Answer::Text(u"#,##0.00 local"));
    }

    ScriptedWorkbook excel;
    ScriptedObject& first = excel.server.Object("First");
    IDispatch* target = excel.Object("Target");
};

TEST_F(CellValuesTest, GeneralOrMixedFormatIsLeftAlone)
{
    VARIANT mixed;
    VariantInit(&mixed);
    mixed.vt = VT_NULL;
    for (const Answer& format : {Answer::Text(u"General"), Answer::Value(mixed)}) {
        first.Returns(u"NumberFormat", format);
        excel.server.ClearCalls();
        ExcelTestData data("<Period>Q1</Period>");
        TestableExcelGenerator generator(data);
        generator.StartOn(excel.Workbook());
        generator.FieldValue("Period", excel.Object("First"), false);
        EXPECT_THAT(excel.CallsAfterStart(), ElementsAre("put First.Value = \"Q1\"", "get First.NumberFormat"));
    }
}

TEST_F(CellValuesTest, OtherFormatsArePutBackFromTheLocalFormat)
{
    Formatted();
    ExcelTestData data("<Amount>12.5</Amount>");
    TestableExcelGenerator generator(data);
    generator.StartOn(excel.Workbook());
    generator.FieldValue("Amount", excel.Object("First"), false);
    EXPECT_THAT(excel.CallsAfterStart(),
                ElementsAre("put First.Value = \"12.5\"", "get First.NumberFormat", "get First.NumberFormatLocal",
                            "put First.NumberFormat = \"#,##0.00 local\""));
}

TEST_F(CellValuesTest, MissingFieldWritesTheEmptyText)
{
    ExcelTestData data("");
    TestableExcelGenerator generator(data);
    generator.StartOn(excel.Workbook());
    EXPECT_STREQ(generator.FieldValue("Missing", excel.Object("First"), false), "");
    EXPECT_THAT(excel.CallsAfterStart(), ElementsAre("put First.Value = \"\"", "get First.NumberFormat"));
}

TEST_F(CellValuesTest, ColumnIsOneArrayPutWithEventsOffAndTheFormatRefreshed)
{
    Formatted();
    ExcelTestData data("<Amount NUMRECORDS='3' GROUPBY='0'><v>10</v><v>&lt;b&amp;</v><v/></Amount>");
    TestableExcelGenerator generator(data);
    generator.StartOn(excel.Workbook());
    generator.WriteColumn("Amount", excel.Object("First"), target, 3);
    EXPECT_THAT(excel.CallsAfterStart(),
                ElementsAre("put Application.EnableEvents = 0", "put Target.Value = {{\"10\"}, {\"<b&\"}, {\" \"}}",
                            "get First.NumberFormat", "get First.NumberFormatLocal",
                            "put Target.NumberFormat = \"#,##0.00 local\"", "put Application.EnableEvents = 1"));
}

TEST_F(CellValuesTest, InAGroupTheColumnFollowsTheRecordOrderAndKeepsToItsRows)
{
    ExcelTestData data("<Region NUMRECORDS='3'><v>b</v><v>a</v><v>c</v></Region>"
                       "<Amount NUMRECORDS='2' GROUPBY='0'><v>1</v><v>2</v><v>3</v></Amount>");
    TestableExcelGenerator generator(data);
    generator.StartOn(excel.Workbook());
    generator.groupByFields = {data.Field("Region")};
    generator.recordOrder = {1, 0, 2};
    generator.WriteColumn("Amount", excel.Object("First"), target, 2);
    EXPECT_THAT(excel.CallsAfterStart(),
                ElementsAre("put Application.EnableEvents = 0", "put Target.Value = {{\"2\"}, {\"1\"}}",
                            "get First.NumberFormat", "put Application.EnableEvents = 1"));
}

TEST_F(CellValuesTest, ValuesOf911CodeUnitsOrMoreAreWrittenCellByCell)
{
    Formatted();
    const std::string fits(910, 'x');
    const std::string tooLong(911, 'y');
    // 909 letters and one character outside the basic plane: 911 code units.
    const std::string surrogates = std::string(909, 'z') + "\xF0\x9F\x98\x80";
    ExcelTestData data("<Note NUMRECORDS='3' GROUPBY='0'><v>" + fits + "</v><v>" + tooLong + "</v><v>" + surrogates +
                       "</v></Note>");
    TestableExcelGenerator generator(data);
    generator.StartOn(excel.Workbook());
    generator.WriteColumn("Note", excel.Object("First"), target, 3);

    EXPECT_THAT(excel.CallsAfterStart(),
                ElementsAre("get First.Row", "get First.Column", "get First.Row", "get First.Column",
                            "put Application.EnableEvents = 0",
                            "put Target.Value = {{" + Quoted(fits) + "}, {\"\"}, {\"\"}}", "get First.NumberFormat",
                            "get First.NumberFormatLocal", "put Target.NumberFormat = \"#,##0.00 local\"",
                            "put Application.EnableEvents = 1", "get Workbook.ActiveSheet", "get Sheet.Cells",
                            "get Cells.Item(8, 3)", "put Cell.Value = " + Quoted(tooLong),
                            "get First.NumberFormatLocal", "put Cell.NumberFormat = \"#,##0.00 local\"",
                            "get Cells.Item(9, 3)", "put Cell.Value = " + Quoted(surrogates),
                            "get First.NumberFormatLocal", "put Cell.NumberFormat = \"#,##0.00 local\""));
    Element* records = data.Field("Note");
    EXPECT_EQ(AttributeText(ChildAt(records, 0), "USEINROW"), nullptr);
    EXPECT_STREQ(AttributeText(ChildAt(records, 1), "USEINROW"), "8");
    EXPECT_STREQ(AttributeText(ChildAt(records, 1), "USEINCOLUMN"), "3");
    EXPECT_STREQ(AttributeText(ChildAt(records, 2), "USEINROW"), "9");
}

TEST_F(CellValuesTest, FailedArrayPutLeavesEventsOffAndThrows)
{
    excel.server.Object("Target").Fails(u"Value", DISP_E_EXCEPTION, "refused");
    ExcelTestData data("<Amount NUMRECORDS='2' GROUPBY='0'><v>1</v><v>2</v></Amount>");
    TestableExcelGenerator generator(data);
    generator.StartOn(excel.Workbook());
    // The array must not be left behind (the sanitizer build checks for leaks).
    EXPECT_THROW(generator.WriteColumn("Amount", excel.Object("First"), target, 2), COMException);
    EXPECT_THAT(excel.CallsAfterStart(),
                ElementsAre("put Application.EnableEvents = 0", "put Target.Value = {{\"1\"}, {\"2\"}}"));
}

TEST_F(CellValuesTest, FieldWithoutRecordsWritesNothing)
{
    ExcelTestData data("<Amount NUMRECORDS='2' GROUPBY='0'>only text</Amount>");
    TestableExcelGenerator generator(data);
    generator.StartOn(excel.Workbook());
    generator.WriteColumn("Amount", excel.Object("First"), target, 2);
    generator.WriteColumn("Missing", excel.Object("First"), target, 2);
    EXPECT_THAT(excel.CallsAfterStart(), ::testing::IsEmpty());
}

}  // namespace

namespace {

// The column is converted through one buffer reused from record to record:
// a short text after a long one, or after one too long for the array, must
// come out whole and alone, in the group's order.
TEST_F(CellValuesTest, TextsOfEveryLengthAndScriptComeThroughWholeInTheGroupsOrder)
{
    const std::string tooLong(1500, 'L');
    const std::string medium = std::string(600, 'm') + "\xC3\xA9";
    ExcelTestData data("<Region NUMRECORDS='6'><v>a</v><v>b</v><v>c</v><v>d</v><v>e</v><v>f</v></Region>"
                       "<Note NUMRECORDS='6' GROUPBY='0'><v>" + medium + "</v><v>\xC3\xA9t\xC3\xA9</v><v>" + tooLong +
                       "</v><v>\xE6\x97\xA5\xF0\x9F\x98\x80</v><v/><v>z</v></Note>");
    TestableExcelGenerator generator(data);
    generator.StartOn(excel.Workbook());
    generator.groupByFields = {data.Field("Region")};
    generator.recordOrder = {0, 2, 1, 3, 4, 5};
    generator.WriteColumn("Note", excel.Object("First"), target, 5);
    std::vector<std::string> calls = excel.CallsAfterStart();
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ(calls[3], "put Target.Value = {{" + Quoted(medium) + "}, {\"\"}, {\"\xC3\xA9t\xC3\xA9\"}, "
                        "{\"\xE6\x97\xA5\xF0\x9F\x98\x80\"}, {\" \"}}");
    EXPECT_THAT(calls, ::testing::Contains("put Cell.Value = " + Quoted(tooLong)));
    EXPECT_STREQ(AttributeText(ChildAt(data.Field("Note"), 2), "USEINROW"), "8");
}

}  // namespace
