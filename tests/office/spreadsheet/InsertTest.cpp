// Row insertion through IDispatch: Copy mode, blank rows, and everything that
// moves with the rows.
#include <gtest/gtest.h>

#include "office/package/Package.h"
#include "tests/office/spreadsheet/ExcelDriver.h"
#include "tests/office/spreadsheet/WorkbookBuilder.h"

namespace excel_test {
namespace {

std::string Cell(IDispatch* sheet, int row, int column)
{
    Var value = Invoke(CellAt(sheet, row, column).Get(), u"Value", DISPATCH_PROPERTYGET);
    if (value.value.vt == VT_BSTR) {
        return value.Text();
    }
    if (value.value.vt == VT_R8) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", value.value.dblVal);
        return text;
    }
    return value.value.vt == VT_EMPTY ? "" : "?";
}

std::string Formula(IDispatch* sheet, int row, int column)
{
    return GetText(CellAt(sheet, row, column).Get(), u"Formula");
}

// Rows 1-6: a heading, a detail row with formula, a merged footer with a
// comment, and a total that sums the detail column.
class InsertTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto path = WorkbookBuilder()
                        .Strings({"Head", "Item", "Footer"})
                        .Sheet("Sheet1",
                               "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>"
                               "<row r=\"2\" ht=\"20\" customHeight=\"1\"><c r=\"A2\" t=\"s\"><v>1</v></c>"
                               "<c r=\"B2\"><v>5</v></c><c r=\"C2\"><f>B2*2</f><v>10</v></c></row>"
                               "<row r=\"3\"><c r=\"A3\" s=\"3\" t=\"s\"><v>2</v></c><c r=\"B3\" s=\"3\"/></row>"
                               "<row r=\"5\"><c r=\"B5\"><f>SUM(B2:B4)</f><v>5</v></c></row>",
                               "<mergeCells count=\"1\"><mergeCell ref=\"A3:B3\"/></mergeCells>")
                        .Sheet("Other", "<row r=\"1\"><c r=\"A1\"><f>Sheet1!B5+Sheet1!B2</f><v>10</v></c></row>")
                        .Name("Block", "Sheet1!$2:$3")
                        .Name("Total", "Sheet1!$B$5")
                        .Name("Top", "Sheet1!$A$1")
                        .Comment(0, "A3", "Footer note")
                        .Write(scratch.Path() / "insert.xlsx");
        book = AddWorkbook(excel.Get(), path.string());
        sheet = Get(book.Get(), u"ActiveSheet");
    }

    ScratchFolder scratch;
    ComPtr<IDispatch> excel = StartExcel();
    ComPtr<IDispatch> book;
    ComPtr<IDispatch> sheet;
};

TEST_F(InsertTest, OneCopiedRowFillsEverySelectedRowAndEndsCopyMode)
{
    Call(RowOf(sheet.Get(), 2).Get(), u"Copy");
    Call(RowSpan(excel.Get(), sheet.Get(), 3, 5).Get(), u"Select");
    Call(Get(excel.Get(), u"Selection").Get(), u"Insert", {Var(kShiftDown)});
    for (int row = 3; row <= 5; ++row) {
        EXPECT_EQ(Cell(sheet.Get(), row, 1), "Item");
        EXPECT_EQ(Formula(sheet.Get(), row, 3), "=B" + std::to_string(row) + "*2");
    }
    EXPECT_EQ(Cell(sheet.Get(), 6, 1), "Footer");
    EXPECT_EQ(Formula(sheet.Get(), 8, 2), "=SUM(B2:B7)");  // grew by three rows
    EXPECT_EQ(NameAddress(book.Get(), "Block"), "$2:$6");
    EXPECT_EQ(NameAddress(book.Get(), "Total"), "$B$8");
    EXPECT_EQ(NameAddress(book.Get(), "Top"), "$A$1");
    ComPtr<IDispatch> other = Get(Call(Get(book.Get(), u"Names").Get(), u"Item", {Var("Top")}).Get(), u"RefersToRange");
    ComPtr<IDispatch> otherSheet = Call(book.Get(), u"Worksheets", {Var("Other")});
    EXPECT_EQ(Formula(otherSheet.Get(), 1, 1), "=Sheet1!B8+Sheet1!B2");

    // Copy mode ended: the next insert adds one blank row formatted like the row above.
    Call(RowOf(sheet.Get(), 7).Get(), u"Insert", {Var(kShiftDown)});
    EXPECT_EQ(Cell(sheet.Get(), 7, 1), "");
    EXPECT_EQ(Cell(sheet.Get(), 8, 1), "");  // row 7 was empty before and moved to 8
    EXPECT_EQ(Formula(sheet.Get(), 9, 2), "=SUM(B2:B8)");  // inserted at its last row: grows
}

TEST_F(InsertTest, ACopiedBlockLargerThanTheSelectionIsInsertedOnce)
{
    Call(RowSpan(excel.Get(), sheet.Get(), 2, 3).Get(), u"Copy");
    Call(RowOf(sheet.Get(), 4).Get(), u"Select");
    Call(Get(excel.Get(), u"Selection").Get(), u"Insert", {Var(kShiftDown)});
    EXPECT_EQ(Cell(sheet.Get(), 4, 1), "Item");
    EXPECT_EQ(Formula(sheet.Get(), 4, 3), "=B4*2");
    EXPECT_EQ(Cell(sheet.Get(), 5, 1), "Footer");
    EXPECT_EQ(Formula(sheet.Get(), 7, 2), "=SUM(B2:B6)");
    EXPECT_EQ(NameAddress(book.Get(), "Block"), "$2:$3");  // inserted right after: unchanged
    // The merge and the comment of the footer were copied with it.
    ComPtr<IDispatch> comment = Get(CellAt(sheet.Get(), 5, 1).Get(), u"Comment");
    ASSERT_TRUE(comment);
    EXPECT_EQ(GetText(comment.Get(), u"Text"), "Footer note");
}

TEST_F(InsertTest, MergesCommentsAndNamesBelowMoveWithTheirRows)
{
    Call(RowOf(sheet.Get(), 3).Get(), u"Insert", {Var(kShiftDown)});
    EXPECT_FALSE(Get(CellAt(sheet.Get(), 3, 1).Get(), u"Comment"));
    ComPtr<IDispatch> comment = Get(CellAt(sheet.Get(), 4, 1).Get(), u"Comment");
    ASSERT_TRUE(comment);
    EXPECT_EQ(GetText(comment.Get(), u"Text"), "Footer note");
    EXPECT_EQ(Cell(sheet.Get(), 4, 1), "Footer");
    EXPECT_EQ(NameAddress(book.Get(), "Block"), "$2:$4");
    // A blank row takes the formats of the row above but not its values.
    EXPECT_EQ(Cell(sheet.Get(), 3, 2), "");
}

TEST_F(InsertTest, InsertingAtRowOneCopiesNoFormatsAndMovesEverything)
{
    Call(RowOf(sheet.Get(), 1).Get(), u"Insert", {Var(kShiftDown)});
    EXPECT_EQ(Cell(sheet.Get(), 2, 1), "Head");
    EXPECT_EQ(NameAddress(book.Get(), "Top"), "$A$2");
    EXPECT_EQ(Formula(sheet.Get(), 6, 2), "=SUM(B3:B5)");
}

TEST_F(InsertTest, RangesTakenBeforeAnInsertFollowTheirCells)
{
    ComPtr<IDispatch> footer = CellAt(sheet.Get(), 3, 1);
    Call(RowSpan(excel.Get(), sheet.Get(), 2, 2).Get(), u"Insert", {Var(kShiftDown)});
    EXPECT_EQ(GetInt(footer.Get(), u"Row"), 4);
}

TEST_F(InsertTest, RowsCopiedFromAnotherSheetKeepTheirSheetsReferences)
{
    ComPtr<IDispatch> other = Call(book.Get(), u"Worksheets", {Var("Other")});
    Call(RowOf(sheet.Get(), 2).Get(), u"Copy");
    Call(RowOf(other.Get(), 1).Get(), u"Insert", {Var(kShiftDown)});
    EXPECT_EQ(Cell(other.Get(), 1, 1), "Item");
    EXPECT_EQ(Formula(other.Get(), 1, 3), "=B1*2");  // now about the Other sheet's own cells
    EXPECT_EQ(Formula(other.Get(), 2, 1), "=Sheet1!B5+Sheet1!B2");
    EXPECT_EQ(Formula(sheet.Get(), 5, 2), "=SUM(B2:B4)");  // Sheet1 did not move
}

// Formulas follow a run of insertions once; a formula written in between is
// already where it belongs, and a save straight after the insertions writes
// every formula moved, also on a sheet that changed in nothing else.
TEST_F(InsertTest, FormulasFollowARunOfInsertionsWhetherReadInBetweenOrNot)
{
    auto path = WorkbookBuilder()
                    .Sheet("Sheet1",
                           "<row r=\"2\"><c r=\"B2\"><v>1</v></c></row>"
                           "<row r=\"3\"><c r=\"B3\"><v>2</v></c></row>"
                           "<row r=\"4\"><c r=\"D4\"><f t=\"array\" ref=\"D4:D5\">B2:B3*2</f><v>2</v></c></row>"
                           "<row r=\"6\"><c r=\"B6\"><f>SUM(B2:B5)</f><v>3</v></c></row>")
                    .Sheet("Other", "<row r=\"1\"><c r=\"A1\"><f>Sheet1!B6*Sheet1!B2</f><v>3</v></c></row>")
                    .Write(scratch.Path() / "run.xlsx");
    ComPtr<IDispatch> run = AddWorkbook(excel.Get(), path.string());
    ComPtr<IDispatch> first = Call(run.Get(), u"Worksheets", {Var("Sheet1")});
    ComPtr<IDispatch> other = Call(run.Get(), u"Worksheets", {Var("Other")});
    Call(RowOf(first.Get(), 3).Get(), u"Insert", {Var(kShiftDown)});
    Call(RowSpan(excel.Get(), first.Get(), 1, 2).Get(), u"Insert", {Var(kShiftDown)});
    EXPECT_EQ(Formula(other.Get(), 1, 1), "=Sheet1!B9*Sheet1!B4");
    Put(CellAt(first.Get(), 12, 1).Get(), u"Formula", Var("=B9+B5"));
    Call(RowOf(first.Get(), 1).Get(), u"Insert", {Var(kShiftDown)});
    Call(RowOf(first.Get(), 8).Get(), u"Insert", {Var(kShiftDown)});

    Call(book.Get(), u"Close", {Var(false)});
    office::Package written = office::Package::Open(ShowWorkbooks(excel.Get()));
    const std::string& sheetXml = written.Part("xl/worksheets/sheet1.xml");
    EXPECT_NE(sheetXml.find("<f>SUM(B5:B10)</f>"), std::string::npos) << sheetXml;
    EXPECT_NE(sheetXml.find("<f>B11+B6</f>"), std::string::npos) << sheetXml;
    EXPECT_NE(sheetXml.find("ref=\"D9:D10\">B5:B7*2</f>"), std::string::npos) << sheetXml;
    const std::string& otherXml = written.Part("xl/worksheets/sheet2.xml");
    EXPECT_NE(otherXml.find("<f>Sheet1!B11*Sheet1!B5</f>"), std::string::npos) << otherXml;
    EXPECT_EQ(otherXml.find("<v>3</v>"), std::string::npos) << "the moved formula keeps no cached value";
}

TEST_F(InsertTest, RowsThatWouldLeaveTheSheetAreRefused)
{
    auto path = WorkbookBuilder()
                    .Sheet("Full", "<row r=\"1048576\"><c r=\"A1048576\"><v>1</v></c></row>")
                    .Write(scratch.Path() / "full.xlsx");
    ComPtr<IDispatch> full = AddWorkbook(excel.Get(), path.string());
    ComPtr<IDispatch> fullSheet = Get(full.Get(), u"ActiveSheet");
    Outcome outcome = TryCall(RowOf(fullSheet.Get(), 5).Get(), u"Insert", {Var(kShiftDown)});
    EXPECT_EQ(outcome.hr, DISP_E_EXCEPTION);
    EXPECT_NE(outcome.description.find("'Full'"), std::string::npos) << outcome.description;
    Var last = Invoke(CellAt(fullSheet.Get(), 1048576, 1).Get(), u"Value", DISPATCH_PROPERTYGET);
    EXPECT_EQ(last.value.dblVal, 1);
}

TEST_F(InsertTest, ShiftingToTheRightIsRefused)
{
    Outcome outcome = TryCall(RowOf(sheet.Get(), 2).Get(), u"Insert", {Var(-4161)});
    EXPECT_EQ(outcome.hr, DISP_E_EXCEPTION);
    EXPECT_FALSE(outcome.description.empty());
}

// A grouped report copies its detail row thousands of times, then inserts a
// heading above each group; the comments, their shapes, hyperlinks, form
// controls, conditional formats and validations it writes must be those that
// copying the row once per record gives.
TEST(InsertRunTest, ManyCopiesAtOnceWriteWhatCopiesOneByOneWrite)
{
    ScratchFolder scratch;
    auto built = WorkbookBuilder()
                     .Strings({"Head", "Item", "Footer"})
                     .Sheet("Sheet1",
                            "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>"
                            "<row r=\"2\"><c r=\"A2\" t=\"s\"><v>1</v></c><c r=\"B2\"><v>5</v></c></row>"
                            "<row r=\"3\"><c r=\"A3\" t=\"s\"><v>2</v></c></row>",
                            "<conditionalFormatting sqref=\"B2\"><cfRule type=\"cellIs\" dxfId=\"0\" priority=\"1\" "
                            "operator=\"greaterThan\"><formula>$B$1</formula></cfRule></conditionalFormatting>"
                            "<dataValidations count=\"1\"><dataValidation type=\"whole\" sqref=\"A1:A2\">"
                            "<formula1>0</formula1></dataValidation></dataValidations>"
                            "<hyperlinks><hyperlink ref=\"B2\" location=\"Sheet1!A1\" display=\"top\"/>"
                            "<hyperlink ref=\"A3\" location=\"Sheet1!A1\"/>"
                            "<hyperlink ref=\"C1:C2\" location=\"Sheet1!A1\"/>"
                            "<hyperlink ref=\"D2 D3\" location=\"Sheet1!A1\"/></hyperlinks>"
                            "<ignoredErrors><ignoredError sqref=\"B2\" numberStoredAsText=\"1\"/></ignoredErrors>")
                     .Comment(0, "A1", "head note")
                     .Comment(0, "A2", "detail note")
                     .Comment(0, "A3", "footer note")
                     .Write(scratch.Path() / "built.xlsx");
    office::Package package = office::Package::Open(built);
    std::string vml = package.Part("xl/drawings/vmlDrawing1.vml");
    vml.insert(vml.rfind("</xml>"),
               "<v:shape type=\"#_x0000_t201\"><x:ClientData ObjectType=\"Checkbox\">"
               "<x:Anchor>3, 15, 2, 10, 4, 15, 2, 4</x:Anchor><x:FmlaLink>$C$3</x:FmlaLink></x:ClientData></v:shape>");
    package.SetPart("xl/drawings/vmlDrawing1.vml", vml);
    std::filesystem::path path = scratch.Path() / "report.xlsx";
    package.SaveAs(path);

    // Enough copies that the links below the heading's insertion settle into the ones moved by a row map.
    constexpr int kCopies = 80;
    auto report = [&](bool oneByOne) {
        ComPtr<IDispatch> excel = StartExcel();
        ComPtr<IDispatch> book = AddWorkbook(excel.Get(), path.string());
        ComPtr<IDispatch> sheet = Get(book.Get(), u"ActiveSheet");
        for (int done = 0; done < kCopies; done += oneByOne ? 1 : kCopies) {
            Call(RowOf(sheet.Get(), 2).Get(), u"Copy");
            int rows = oneByOne ? 1 : kCopies;
            Call(RowSpan(excel.Get(), sheet.Get(), 3 + done, 2 + done + rows).Get(), u"Insert", {Var(kShiftDown)});
        }
        // A heading above the second half of the detail rows, then another detail row below it.
        int half = 2 + kCopies / 2;
        Call(RowOf(sheet.Get(), 1).Get(), u"Copy");
        Call(RowOf(sheet.Get(), half).Get(), u"Insert", {Var(kShiftDown)});
        Call(RowOf(sheet.Get(), 2).Get(), u"Copy");
        Call(RowOf(sheet.Get(), half + 1).Get(), u"Insert", {Var(kShiftDown)});
        return office::Package::Open(ShowWorkbooks(excel.Get()));
    };
    office::Package atOnce = report(false);
    office::Package oneByOne = report(true);
    for (const char* part : {"xl/worksheets/sheet1.xml", "xl/comments1.xml", "xl/drawings/vmlDrawing1.vml"}) {
        EXPECT_EQ(atOnce.Part(part), oneByOne.Part(part)) << part;
    }
    const std::string& comments = atOnce.Part("xl/comments1.xml");
    EXPECT_LT(comments.find("ref=\"A8\""), comments.find("ref=\"A9\"")) << comments;  // reading order
    const std::string& shapes = atOnce.Part("xl/drawings/vmlDrawing1.vml");
    EXPECT_NE(shapes.find("3, 15, 84, 10, 4, 15, 84, 4</x:Anchor><x:FmlaLink>$C$85</x:FmlaLink>"), std::string::npos)
        << shapes;
    // Rows 2-41 and 44-84 hold copies of the detail row, 42 the heading, 43
    // the last copy and 85 the footer; links and ranges follow the rows, and
    // only a link that lies inside the copied rows is copied.
    const std::string& xml = atOnce.Part("xl/worksheets/sheet1.xml");
    for (const char* expected :
         {"<hyperlink ref=\"B2\" location=\"Sheet1!A1\" display=\"top\"/><hyperlink ref=\"A85\" location=\"Sheet1!A1\"/>"
          "<hyperlink ref=\"C1:C2\" location=\"Sheet1!A1\"/><hyperlink ref=\"D2 D85\" location=\"Sheet1!A1\"/>"
          "<hyperlink ref=\"B3\" location=\"Sheet1!A1\" display=\"top\"/>",
          "<hyperlink ref=\"B41\" location=\"Sheet1!A1\" display=\"top\"/><hyperlink ref=\"B44\"",
          "<hyperlink ref=\"B84\" location=\"Sheet1!A1\" display=\"top\"/>"
          "<hyperlink ref=\"B43\" location=\"Sheet1!A1\" display=\"top\"/></hyperlinks>",
          "<conditionalFormatting sqref=\"B2:B84\">", "<formula>$B$1</formula>",
          "<dataValidation type=\"whole\" sqref=\"A1:A84\">", "<ignoredError sqref=\"B2\""}) {
        EXPECT_NE(xml.find(expected), std::string::npos) << expected << "\n" << xml;
    }
}

// A heading's conditional format and validation are copied once per group;
// the copies stay pieces of their own until one touches another.
TEST(InsertRunTest, HeadingRangesCopiedApartStayApartUntilTheyTouch)
{
    ScratchFolder scratch;
    auto path = WorkbookBuilder()
                    .Strings({"Head", "Item"})
                    .Sheet("Sheet1",
                           "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>"
                           "<row r=\"2\"><c r=\"A2\" t=\"s\"><v>1</v></c></row>"
                           "<row r=\"3\"><c r=\"A3\" t=\"s\"><v>1</v></c></row>"
                           "<row r=\"4\"><c r=\"A4\" t=\"s\"><v>1</v></c></row>",
                           "<conditionalFormatting sqref=\"A1\"><cfRule type=\"cellIs\" dxfId=\"0\" priority=\"1\" "
                           "operator=\"equal\"><formula>\"x\"</formula></cfRule></conditionalFormatting>"
                           "<dataValidations count=\"1\"><dataValidation type=\"textLength\" sqref=\"A1:B1\">"
                           "<formula1>40</formula1></dataValidation></dataValidations>")
                    .Write(scratch.Path() / "headings.xlsx");
    // The heading copied above each of `rows` in turn; the sheet part written.
    auto copiedAbove = [&](std::vector<int> rows) {
        ComPtr<IDispatch> excel = StartExcel();
        ComPtr<IDispatch> book = AddWorkbook(excel.Get(), path.string());
        ComPtr<IDispatch> sheet = Get(book.Get(), u"ActiveSheet");
        for (int row : rows) {
            Call(RowOf(sheet.Get(), 1).Get(), u"Copy");
            Call(RowOf(sheet.Get(), row).Get(), u"Insert", {Var(kShiftDown)});
        }
        return office::Package::Open(ShowWorkbooks(excel.Get())).Part("xl/worksheets/sheet1.xml");
    };
    std::string xml = copiedAbove({3, 5});
    EXPECT_NE(xml.find("<conditionalFormatting sqref=\"A1 A3 A5\">"), std::string::npos) << xml;
    EXPECT_NE(xml.find("sqref=\"A1:B1 A3:B3 A5:B5\">"), std::string::npos) << xml;
    xml = copiedAbove({3, 5, 2});
    EXPECT_NE(xml.find("<conditionalFormatting sqref=\"A1:A2 A4 A6\">"), std::string::npos) << xml;
    EXPECT_NE(xml.find("sqref=\"A1:B2 A4:B4 A6:B6\">"), std::string::npos) << xml;
}

}  // namespace
}  // namespace excel_test
