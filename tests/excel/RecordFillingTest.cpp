// The calls that fill one group: detail rows multiplied and written, heading
// blocks inserted where a grouping value changes, and the sub-group names.
// The group is rows 10 to 15: grouping fields on rows 12 and 13, the detail
// row 14, the empty last row 15.
#include <memory>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "generator/CancelRequested.h"
#include "tests/excel/ScriptedWorkbook.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

namespace {

class RecordFillingTest : public ::testing::Test {
protected:
    void SetUp() override { CancelRequested = 0; }
    void TearDown() override { CancelRequested = 0; }

    // Fields as ClassifyGroupFields leaves them, and the record order sorted.
    void Prepare(TestableExcelGenerator& generator, const ExcelTestData& data,
                 const std::vector<const char*>& grouping, const std::vector<const char*>& detail)
    {
        generator.StartOn(excel.Workbook());
        for (const char* name : grouping) generator.groupByFields.push_back(data.Field(name));
        for (const char* name : detail) {
            Generator::SetAttribute(data.Field(name), "CODENAME", "Sheet1");
            generator.detailFields.push_back(data.Field(name));
        }
        generator.SortRecords();
        excel.server.ClearCalls();
    }

    std::vector<std::string> CallsFrom(const std::string& first)
    {
        std::vector<std::string> calls = excel.server.CallTexts();
        auto start = std::find(calls.begin(), calls.end(), first);
        return std::vector<std::string>(start, calls.end());
    }

    ScriptedWorkbook excel;
};

TEST_F(RecordFillingTest, ValuesBABAreWrittenAsOneHeadingAAndOneHeadingBWithTwoRecords)
{
    excel.Define("Region", 12).Returns(u"Column", Answer::Int(2));
    excel.server.Object("RangeRegion").Returns(u"Column", Answer::Int(2));
    excel.Define("Item", 14);
    ExcelTestData data("<Region NUMRECORDS='3' EXCELROW='12'><v>B</v><v>A</v><v>B</v></Region>"
                       "<Item NUMRECORDS='3' GROUPBY='0' EXCELROW='14'><v>1</v><v>2</v><v>3</v></Item>");
    auto generator = std::make_unique<TestableExcelGenerator>(data);
    Prepare(*generator, data, {"Region"}, {"Item"});

    generator->FillGroup("VeskGroupOrders", 10, 15);
    // Every object the filling reached is released again.
    generator.reset();
    for (const auto& [name, references] : excel.References()) EXPECT_EQ(references, 0u) << name;

    EXPECT_THAT(excel.server.CallTexts(), ElementsAreArray(std::vector<std::string>{
        "get Workbook.Names", "get Workbook.ActiveSheet",
        // The detail row becomes three rows and is written in one go.
        "call Names.Item(\"Item\")", "get NameItem.refersToRange", "get RangeItem.Row", "call Sheet.Activate()",
        "call Names.Item(\"Item\")", "get NameItem.refersToRange", "get RangeItem.Row",
        "get Sheet.Rows", "get Rows.Item(14)", "call Row.Copy()", "get Rows.Item(15)", "get Rows.Item(16)",
        "get Application.Range(<Row>, <Row>)", "call RowRange.Select()", "get Application.Selection",
        "call Selection.Insert(-4121)",
        "get RangeItem.Resize(3, 1)", "put Application.EnableEvents = 0",
        "put TargetItem.Value = {{\"2\"}, {\"1\"}, {\"3\"}}", "get RangeItem.NumberFormat",
        "put Application.EnableEvents = 1",
        // The template's block.
        "get Application.Rows", "get Rows.Item(10)", "get Rows.Item(14)", "get Application.Range(<Row>, <Row>)",
        "put RowRange.Name = \"VeskSubGroupOrders.0\"",
        // Heading A in the template's own cell; B changes at record 2.
        "call Names.Item(\"Region\")", "get NameRegion.refersToRange", "put RangeRegion.Value = \"A\"",
        "get RangeRegion.NumberFormat", "get RangeRegion.Column",
        "get Sheet.Rows", "get Rows.Item(15)", "call Row.Select()", "get Rows.Item(12)", "get Rows.Item(13)",
        "get Application.Range(<Row>, <Row>)", "call RowRange.Copy()", "get Application.Selection",
        "call Selection.Insert(-4121)", "get Rows.Item(15)", "call Row.Select()", "call Row.Insert(-4121)",
        "get Rows.Item(15)", "get Row.Interior", "put Interior.ColorIndex = -4142",
        "get Application.Rows", "get Rows.Item(16)", "get Rows.Item(18)", "get Application.Range(<Row>, <Row>)",
        "put RowRange.Name = \"VeskSubGroupOrders.1\"",
        "get Rows.Item(16)", "get Row.Borders(8)", "put Border.LineStyle = -4142",
        "get Sheet.Cells", "get Cells.Item(16, 2)", "put Cell.Value = \"B\""}));
    EXPECT_STREQ(AttributeText(data.Field("Item"), "INSERTEDLINES"), "3");
    EXPECT_STREQ(AttributeText(data.Field("Region"), "RECORDSDONE"), "2");
}

TEST_F(RecordFillingTest, SecondGroupingFieldOnTheSameRowWritesIntoTheFirstFieldsBlock)
{
    excel.Define("Outer", 12);
    excel.Define("Inner", 12);
    excel.server.Object("RangeInner").Returns(u"Column", Answer::Int(4));
    ExcelTestData data("<Outer NUMRECORDS='2' EXCELROW='12'><v>X</v><v>Y</v></Outer>"
                       "<Inner NUMRECORDS='2' EXCELROW='12'><v>p</v><v>q</v></Inner>");
    TestableExcelGenerator generator(data);
    Prepare(generator, data, {"Outer", "Inner"}, {});

    generator.FillGroup("VeskGroupOrders", 10, 15);

    EXPECT_THAT(CallsFrom("call Names.Item(\"Inner\")"),
                ElementsAre("call Names.Item(\"Inner\")", "get NameInner.refersToRange", "put RangeInner.Value = \"p\"",
                            "get RangeInner.NumberFormat", "get RangeInner.Column", "get Sheet.Cells",
                            "get Cells.Item(15, 4)", "call Cell.Select()", "get Cells.Item(16, 4)",
                            "put Cell.Value = \"q\""));
}

TEST_F(RecordFillingTest, InnerFieldChangingUnderAnUnchangedOuterOneCopiesOnlyItsOwnRows)
{
    excel.Define("Outer", 12);
    excel.Define("Inner", 13);
    ExcelTestData data("<Outer NUMRECORDS='2' EXCELROW='12'><v>X</v><v>X</v></Outer>"
                       "<Inner NUMRECORDS='2' EXCELROW='13'><v>p</v><v>q</v></Inner>");
    TestableExcelGenerator generator(data);
    Prepare(generator, data, {"Outer", "Inner"}, {});

    generator.FillGroup("VeskGroupOrders", 10, 15);

    std::vector<std::string> calls = CallsFrom("call Names.Item(\"Inner\")");
    EXPECT_THAT(std::vector<std::string>(calls.begin() + 5, calls.begin() + 12),
                ElementsAre("get Sheet.Rows", "get Rows.Item(15)", "call Row.Select()", "get Rows.Item(13)",
                            "get Rows.Item(13)", "get Application.Range(<Row>, <Row>)", "call RowRange.Copy()"));
    EXPECT_THAT(calls, ::testing::Contains("put RowRange.Name = \"VeskSubGroupOrders.1\""));
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "call Selection.Insert(-4121)"), 1);
    // The outer field inserted nothing.
    std::vector<std::string> outer = CallsFrom("call Names.Item(\"Outer\")");
    EXPECT_EQ(std::count(outer.begin(), outer.end(), "call Selection.Insert(-4121)"), 1);
}

TEST_F(RecordFillingTest, DetailRowWithOneRecordAddsNoRowsAndARowIsExpandedOnce)
{
    excel.Define("Single", 14);
    excel.Define("Item", 14);
    excel.Define("Price", 14);
    ExcelTestData data("<Single NUMRECORDS='1' GROUPBY='0' EXCELROW='14'><v>s</v></Single>"
                       "<Item NUMRECORDS='5' GROUPBY='0' EXCELROW='14'><v>1</v><v>2</v><v>3</v><v>4</v><v>5</v></Item>"
                       "<Price NUMRECORDS='5' GROUPBY='0' EXCELROW='14'><v>1</v><v>2</v><v>3</v><v>4</v><v>5</v></Price>");
    TestableExcelGenerator generator(data);
    Prepare(generator, data, {}, {"Single", "Item", "Price"});

    generator.FillGroup("VeskGroupOrders", 10, 15);

    std::vector<std::string> calls = excel.server.CallTexts();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "call Selection.Insert(-4121)"), 1);
    EXPECT_THAT(calls, ::testing::Contains("get Rows.Item(18)"));  // rows 15 to 18: four copies
    EXPECT_STREQ(AttributeText(data.Field("Price"), "INSERTEDLINES"), "5");
    EXPECT_THAT(calls, ::testing::Contains("put TargetPrice.Value = {{\"1\"}, {\"2\"}, {\"3\"}, {\"4\"}, {\"5\"}}"));
}

TEST_F(RecordFillingTest, SubGroupNamesTakeAtMostNineCharactersAfterTheGroupPrefix)
{
    ExcelTestData data("");
    TestableExcelGenerator generator(data);
    generator.StartOn(excel.Workbook());
    generator.NameSubGroup("VeskGroupABCDEFGHIJK", 4, 3, 2);
    generator.NameSubGroup("VeskGroup", 0, 3, 1);
    EXPECT_THAT(excel.CallsAfterStart(),
                ElementsAre("get Application.Rows", "get Rows.Item(3)", "get Rows.Item(4)",
                            "get Application.Range(<Row>, <Row>)", "put RowRange.Name = \"VeskSubGroupABCDEFGHI.4\"",
                            "get Application.Rows", "get Rows.Item(3)", "get Rows.Item(3)",
                            "get Application.Range(<Row>, <Row>)", "put RowRange.Name = \"VeskSubGroup.0\""));
}

TEST_F(RecordFillingTest, GroupWithAMismatchedRecordCountIsNotTouched)
{
    excel.Define("Region", 12);
    ExcelTestData data("<Region NUMRECORDS='3' EXCELROW='12'><v>A</v><v>B</v></Region>");
    TestableExcelGenerator generator(data);
    Prepare(generator, data, {"Region"}, {});
    EXPECT_EQ(generator.resultCode, 2);
    generator.FillGroup("VeskGroupOrders", 10, 15);
    EXPECT_THAT(excel.server.CallTexts(), IsEmpty());
}

TEST_F(RecordFillingTest, RecordBeyondTheFieldsRecordsEndsTheGroupWithoutAnEmptyHeading)
{
    excel.Define("Region", 12);
    // One record counted as taken already: the third record asked for does not exist.
    ExcelTestData data("<Region NUMRECORDS='3' RECORDSDONE='0' EXCELROW='12'><v>A</v><v>B</v><v>C</v></Region>");
    TestableExcelGenerator generator(data);
    Prepare(generator, data, {"Region"}, {});
    generator.FillGroup("VeskGroupOrders", 10, 15);
    EXPECT_EQ(generator.resultCode, 3);
    std::vector<std::string> calls = excel.server.CallTexts();
    EXPECT_THAT(calls, ::testing::Contains("put RangeRegion.Value = \"B\""));
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "call Selection.Insert(-4121)"), 1);
    EXPECT_EQ(calls.back(), "put Cell.Value = \"C\"");
}

TEST_F(RecordFillingTest, CancelEndsTheGroupBeforeTheNextRecord)
{
    excel.Define("Region", 12);
    ExcelTestData data("<Region NUMRECORDS='3' EXCELROW='12'><v>A</v><v>B</v><v>C</v></Region>");
    TestableExcelGenerator generator(data);
    Prepare(generator, data, {"Region"}, {});
    excel.server.Object("RangeRegion").Answers(u"Column", [](const RecordedCall&) {
        CancelRequested = 1;
        return Answer::Int(1);
    });
    generator.FillGroup("VeskGroupOrders", 10, 15);
    std::vector<std::string> calls = excel.server.CallTexts();
    EXPECT_EQ(calls.back(), "get RangeRegion.Column");
}

}  // namespace
