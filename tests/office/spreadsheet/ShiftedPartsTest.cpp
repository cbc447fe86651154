// What an insertion changes in the written parts: conditional formats,
// validations, hyperlinks, page breaks, tables, comment drawings, dimensions.
#include <gtest/gtest.h>

#include "office/package/Package.h"
#include "office/spreadsheet/CellAddress.h"
#include "tests/office/spreadsheet/ExcelDriver.h"
#include "tests/office/spreadsheet/WorkbookBuilder.h"
#include "tests/support/TestFolders.h"

namespace excel_test {
namespace {

class ShiftedPartsTest : public ::testing::Test {
protected:
    office::Package Show()
    {
        return office::Package::Open(ShowWorkbooks(excel.Get()));
    }

    static void ExpectHas(const std::string& part, const std::string& text)
    {
        EXPECT_NE(part.find(text), std::string::npos) << text << "\nin " << part;
    }

    ScratchFolder scratch;
    ComPtr<IDispatch> excel = StartExcel();
};

TEST_F(ShiftedPartsTest, SheetElementsFollowTheInsertedRows)
{
    auto path = WorkbookBuilder()
                    .Sheet("Sheet1",
                           "<row r=\"2\"><c r=\"B2\"><v>1</v></c></row><row r=\"8\"><c r=\"A8\"><v>8</v></c></row>",
                           "<conditionalFormatting sqref=\"B2:B5\"><cfRule type=\"expression\" dxfId=\"0\" priority=\"1\">"
                           "<formula>B2&gt;$B$10</formula></cfRule></conditionalFormatting>"
                           "<dataValidations count=\"1\"><dataValidation type=\"list\" sqref=\"C2:C5 D9\">"
                           "<formula1>$E$1:$E$2</formula1></dataValidation></dataValidations>"
                           "<hyperlinks><hyperlink ref=\"A8\" location=\"Sheet1!A1\" display=\"top\"/></hyperlinks>"
                           "<rowBreaks count=\"1\" manualBreakCount=\"1\"><brk id=\"6\" max=\"16383\" man=\"1\"/></rowBreaks>",
                           "<dimension ref=\"B2:A8\"/>")
                    .Comment(0, "A8", "moves")
                    .Write(scratch.Path() / "parts.xlsx");
    ComPtr<IDispatch> book = AddWorkbook(excel.Get(), path.string());
    ComPtr<IDispatch> sheet = Get(book.Get(), u"ActiveSheet");
    Call(RowSpan(excel.Get(), sheet.Get(), 3, 4).Get(), u"Insert", {Var(kShiftDown)});
    office::Package written = Show();
    std::string xml = written.Part("xl/worksheets/sheet1.xml");
    ExpectHas(xml, "<dimension ref=\"A2:B10\"/>");
    ExpectHas(xml, "sqref=\"B2:B7\"");
    ExpectHas(xml, "<formula>B2&gt;$B$12</formula>");
    ExpectHas(xml, "sqref=\"C2:C7 D11\"");
    ExpectHas(xml, "<formula1>$E$1:$E$2</formula1>");
    ExpectHas(xml, "<hyperlink ref=\"A10\" location=\"Sheet1!A1\" display=\"top\"/>");
    ExpectHas(xml, "<brk id=\"8\"");
    ExpectHas(written.Part("xl/comments1.xml"), "<comment ref=\"A10\"");
    ExpectHas(written.Part("xl/drawings/vmlDrawing1.vml"), "<x:Row>9</x:Row>");
    ExpectHas(written.Part("xl/drawings/vmlDrawing1.vml"), "0, 15, 9, 10, 0, 15, 9, 4");
}

TEST_F(ShiftedPartsTest, TablesGrowWhenRowsGoInsideAndMoveWhenAbove)
{
    std::string sample = SamplePath("poi-56274.xlsx");
    ComPtr<IDispatch> book = AddWorkbook(excel.Get(), sample);
    ComPtr<IDispatch> sheet = Get(book.Get(), u"ActiveSheet");
    Call(RowOf(sheet.Get(), 2).Get(), u"Insert", {Var(kShiftDown)});
    Call(RowOf(sheet.Get(), 1).Get(), u"Insert", {Var(kShiftDown)});
    ExpectHas(Show().Part("xl/tables/table1.xml"), "ref=\"A2:E4\"");
}

TEST_F(ShiftedPartsTest, ChartSeriesFollowTheirRows)
{
    std::string sample = SamplePath("poi-45544.xlsx");
    ComPtr<IDispatch> book = AddWorkbook(excel.Get(), sample);
    ComPtr<IDispatch> sheet = Call(book.Get(), u"Worksheets", {Var("Top Six Functions")});
    Call(RowOf(sheet.Get(), 10).Get(), u"Insert", {Var(kShiftDown)});
    office::Package written = Show();
    ExpectHas(written.Part("xl/charts/chart1.xml"), "<c:f>'Top Six Functions'!$A$8:$A$15</c:f>");
    office::Package original = office::Package::Open(sample);
    EXPECT_TRUE(written.Part("xl/charts/chart2.xml") == original.Part("xl/charts/chart2.xml"));
}

TEST_F(ShiftedPartsTest, ActivatingAnotherSheetMovesTheSelectedTab)
{
    auto path = WorkbookBuilder()
                    .Sheet("First", "", "", "<sheetViews><sheetView tabSelected=\"1\" workbookViewId=\"0\"/></sheetViews>")
                    .Sheet("Second", "", "", "<sheetViews><sheetView workbookViewId=\"0\"/></sheetViews>")
                    .Write(scratch.Path() / "tabs.xlsx");
    ComPtr<IDispatch> book = AddWorkbook(excel.Get(), path.string());
    Call(Call(book.Get(), u"Worksheets", {Var("Second")}).Get(), u"Activate");
    office::Package written = Show();
    ExpectHas(written.Part("xl/workbook.xml"), "activeTab=\"1\"");
    EXPECT_EQ(written.Part("xl/worksheets/sheet1.xml").find("tabSelected"), std::string::npos);
    ExpectHas(written.Part("xl/worksheets/sheet2.xml"), "<sheetView workbookViewId=\"0\" tabSelected=\"1\"/>");
}

TEST_F(ShiftedPartsTest, TheLastSelectionIsWhatTheWorkbookOpensWith)
{
    auto path = WorkbookBuilder()
                    .Sheet("First", "", "",
                           "<sheetViews><sheetView tabSelected=\"1\" workbookViewId=\"0\"><selection activeCell=\"A1\" "
                           "sqref=\"A1\"/></sheetView></sheetViews>")
                    .Write(scratch.Path() / "selection.xlsx");
    ComPtr<IDispatch> book = AddWorkbook(excel.Get(), path.string());
    ComPtr<IDispatch> sheet = Get(book.Get(), u"ActiveSheet");
    Call(Get(CellAt(sheet.Get(), 4, 3).Get(), u"Resize", {Var(2), Var(2)}).Get(), u"Select");
    ExpectHas(Show().Part("xl/worksheets/sheet1.xml"), "<selection activeCell=\"C4\" sqref=\"C4:D5\"/>");
}

TEST_F(ShiftedPartsTest, PivotSourcesGrowAndAreRefreshedOnOpen)
{
    auto built = WorkbookBuilder().Sheet("Data", "").Sheet("Other", "").Write(scratch.Path() / "plain.xlsx");
    office::Package package = office::Package::Open(built);
    const char* cache =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><pivotCacheDefinition "
        "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><cacheSource type=\"worksheet\">"
        "<worksheetSource ref=\"A1:D20\" sheet=\"%s\"/></cacheSource></pivotCacheDefinition>";
    std::string types = package.Part("[Content_Types].xml");
    for (int i = 1; i <= 2; ++i) {
        char xml[512];
        std::snprintf(xml, sizeof xml, cache, i == 1 ? "Data" : "Other");
        std::string name = "xl/pivotCache/pivotCacheDefinition" + std::to_string(i) + ".xml";
        package.SetPart(name, xml);
        types.insert(types.rfind("</Types>"),
                     "<Override PartName=\"/" + name +
                         "\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.pivotCacheDefinition+xml\"/>");
    }
    package.SetPart("[Content_Types].xml", types);
    std::filesystem::path path = scratch.Path() / "pivot.xlsx";
    package.SaveAs(path);
    ComPtr<IDispatch> book = AddWorkbook(excel.Get(), path.string());
    Call(RowSpan(excel.Get(), Get(book.Get(), u"ActiveSheet").Get(), 5, 7).Get(), u"Insert", {Var(kShiftDown)});
    office::Package written = Show();
    std::string first = written.Part("xl/pivotCache/pivotCacheDefinition1.xml");
    ExpectHas(first, "<worksheetSource ref=\"A1:D23\" sheet=\"Data\"/>");
    ExpectHas(first, "refreshOnLoad=\"1\"");
    EXPECT_TRUE(written.Part("xl/pivotCache/pivotCacheDefinition2.xml") == package.Part("xl/pivotCache/pivotCacheDefinition2.xml"));
}

TEST_F(ShiftedPartsTest, ExtendedConditionalFormatsMoveToo)
{
    std::string sample = SamplePath("poi-simple-monthly-budget.xlsx");
    ComPtr<IDispatch> book = AddWorkbook(excel.Get(), sample);
    Call(RowOf(Get(book.Get(), u"ActiveSheet").Get(), 2).Get(), u"Insert", {Var(kShiftDown)});
    std::string xml = Show().Part("xl/worksheets/sheet1.xml");
    ExpectHas(xml, "<xm:sqref>E5</xm:sqref>");
    ExpectHas(xml, "<xm:f>TotalMonthlyIncome</xm:f>");
}

TEST_F(ShiftedPartsTest, CopiedRowsBringTheirValidationsFormatsAndComments)
{
    auto path = WorkbookBuilder()
                    .Sheet("Sheet1", "<row r=\"2\"><c r=\"B2\"><v>1</v></c></row>",
                           "<conditionalFormatting sqref=\"B2\"><cfRule type=\"cellIs\" dxfId=\"0\" priority=\"1\" "
                           "operator=\"greaterThan\"><formula>5</formula></cfRule></conditionalFormatting>"
                           "<dataValidations count=\"1\"><dataValidation type=\"whole\" sqref=\"B2\"><formula1>0</formula1>"
                           "</dataValidation></dataValidations>"
                           "<hyperlinks><hyperlink ref=\"B2\" location=\"Sheet1!A1\"/></hyperlinks>")
                    .Comment(0, "B2", "copied")
                    .Write(scratch.Path() / "copy.xlsx");
    ComPtr<IDispatch> book = AddWorkbook(excel.Get(), path.string());
    ComPtr<IDispatch> sheet = Get(book.Get(), u"ActiveSheet");
    Call(RowOf(sheet.Get(), 2).Get(), u"Copy");
    Call(RowSpan(excel.Get(), sheet.Get(), 4, 5).Get(), u"Insert", {Var(kShiftDown)});
    office::Package written = Show();
    std::string xml = written.Part("xl/worksheets/sheet1.xml");
    ExpectHas(xml, "conditionalFormatting sqref=\"B2 B4:B5\"");
    ExpectHas(xml, "dataValidation type=\"whole\" sqref=\"B2 B4:B5\"");
    ExpectHas(xml, "<hyperlink ref=\"B2\" location=\"Sheet1!A1\"/><hyperlink ref=\"B4\" location=\"Sheet1!A1\"/>"
                   "<hyperlink ref=\"B5\" location=\"Sheet1!A1\"/>");
    ExpectHas(written.Part("xl/comments1.xml"), "<comment ref=\"B5\"");
    ExpectHas(written.Part("xl/drawings/vmlDrawing1.vml"), "<x:Row>4</x:Row>");
}

TEST_F(ShiftedPartsTest, SheetsWrittenWithANamespacePrefixKeepIt)
{
    auto built = WorkbookBuilder().Sheet("Sheet1", "").Write(scratch.Path() / "plain.xlsx");
    office::Package package = office::Package::Open(built);
    package.SetPart("xl/worksheets/sheet1.xml",
                    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><x:worksheet "
                    "xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><x:sheetData><x:row r=\"2\">"
                    "<x:c r=\"A2\"><x:v>7</x:v></x:c></x:row></x:sheetData></x:worksheet>");
    std::filesystem::path prefixed = scratch.Path() / "prefixed.xlsx";
    package.SaveAs(prefixed);
    ComPtr<IDispatch> book = AddWorkbook(excel.Get(), prefixed.string());
    ComPtr<IDispatch> sheet = Get(book.Get(), u"ActiveSheet");
    Call(RowOf(sheet.Get(), 1).Get(), u"Insert", {Var(kShiftDown)});
    Put(CellAt(sheet.Get(), 1, 2).Get(), u"Value", Var("5"));
    std::string xml = Show().Part("xl/worksheets/sheet1.xml");
    ExpectHas(xml, "<x:row r=\"3\"><x:c r=\"A3\"><x:v>7</x:v></x:c></x:row>");
    ExpectHas(xml, "<x:dimension ref=\"A1:B3\"/>");
}

TEST_F(ShiftedPartsTest, DerivedCellFormatsAreSharedAndTheStringTableGrowsByNewTextsOnly)
{
    auto path = WorkbookBuilder().Strings({"known"}).Sheet("Sheet1", "").Write(scratch.Path() / "styles.xlsx");
    ComPtr<IDispatch> book = AddWorkbook(excel.Get(), path.string());
    ComPtr<IDispatch> sheet = Get(book.Get(), u"ActiveSheet");
    ComPtr<IDispatch> column = Get(CellAt(sheet.Get(), 1, 1).Get(), u"Resize", {Var(50), Var(1)});
    std::vector<std::string> values(50, "10%");
    values[0] = "known";
    values[1] = "new";
    values[2] = "new";
    Put(column.Get(), u"Value", Var::Column(values));
    Put(Get(column.Get(), u"Resize", {Var(50), Var(2)}).Get(), u"NumberFormat", Var("0.000"));
    office::Package written = Show();
    ExpectHas(written.Part("xl/styles.xml"), "<cellXfs count=\"7\">");  // 5 + "0%" + "0.000"
    ExpectHas(written.Part("xl/sharedStrings.xml"), "uniqueCount=\"2\"");
}

TEST_F(ShiftedPartsTest, FormControlAnchorsAndCrossSheetExtensionFormulasMove)
{
    const std::string anchor =
        "<controls xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\" "
        "xmlns:xdr=\"http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing\"><mc:AlternateContent>"
        "<mc:Choice Requires=\"x14\"><control shapeId=\"1025\" r:id=\"rIdC\" name=\"Box\"><controlPr><anchor>"
        "<from><xdr:col>1</xdr:col><xdr:colOff>0</xdr:colOff><xdr:row>9</xdr:row><xdr:rowOff>0</xdr:rowOff></from>"
        "<to><xdr:col>2</xdr:col><xdr:colOff>0</xdr:colOff><xdr:row>10</xdr:row><xdr:rowOff>0</xdr:rowOff></to>"
        "</anchor></controlPr></control></mc:Choice><mc:Fallback/></mc:AlternateContent></controls>";
    const std::string list =
        "<extLst><ext uri=\"{CCE6A557-97BC-4b89-ADB6-D9C93CAAB3DF}\" "
        "xmlns:x14=\"http://schemas.microsoft.com/office/spreadsheetml/2009/9/main\"><x14:dataValidations count=\"1\" "
        "xmlns:xm=\"http://schemas.microsoft.com/office/excel/2006/main\"><x14:dataValidation type=\"list\">"
        "<x14:formula1><xm:f>Values!$A$1:$A$4</xm:f></x14:formula1><xm:sqref>A2</xm:sqref></x14:dataValidation>"
        "</x14:dataValidations></ext></extLst>";
    auto path = WorkbookBuilder()
                    .Sheet("Form", "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>", anchor + list)
                    .Sheet("Values", "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>")
                    .Write(scratch.Path() / "controls.xlsx");
    ComPtr<IDispatch> book = AddWorkbook(excel.Get(), path.string());
    ComPtr<IDispatch> form = Call(book.Get(), u"Worksheets", {Var("Form")});
    ComPtr<IDispatch> values = Call(book.Get(), u"Worksheets", {Var("Values")});
    Call(RowSpan(excel.Get(), form.Get(), 3, 4).Get(), u"Insert", {Var(kShiftDown)});
    Call(RowOf(values.Get(), 2).Get(), u"Insert", {Var(kShiftDown)});
    std::string xml = Show().Part("xl/worksheets/sheet1.xml");
    ExpectHas(xml, "<xdr:row>11</xdr:row><xdr:rowOff>0</xdr:rowOff></from>");
    ExpectHas(xml, "<xdr:row>12</xdr:row><xdr:rowOff>0</xdr:rowOff></to>");
    ExpectHas(xml, "<xm:f>Values!$A$1:$A$5</xm:f><");
    ExpectHas(xml, "<xm:sqref>A2</xm:sqref>");  // the list cell is above the rows inserted into Form
}

TEST_F(ShiftedPartsTest, OnlyWhatHoldsContentBlocksInsertionAtTheLastRow)
{
    auto path = WorkbookBuilder()
                    .Sheet("Styled",
                           "<row r=\"2\"><c r=\"A2\"><v>2</v></c></row><row r=\"1048575\"><c r=\"A1048575\" s=\"3\"/></row>"
                           "<row r=\"1048576\" ht=\"12\" customHeight=\"1\"><c r=\"A1048576\" s=\"3\"/></row>")
                    .Sheet("Noted", "<row r=\"2\"><c r=\"A2\"><v>2</v></c></row>")
                    .Comment(1, "B1048576", "last")
                    .Write(scratch.Path() / "last.xlsx");
    ComPtr<IDispatch> book = AddWorkbook(excel.Get(), path.string());
    ComPtr<IDispatch> styled = Call(book.Get(), u"Worksheets", {Var("Styled")});
    ComPtr<IDispatch> noted = Call(book.Get(), u"Worksheets", {Var("Noted")});
    Call(RowSpan(excel.Get(), styled.Get(), 1, 3).Get(), u"Insert", {Var(kShiftDown)});
    Outcome refused = TryCall(RowOf(noted.Get(), 1).Get(), u"Insert", {Var(kShiftDown)});
    EXPECT_EQ(refused.hr, DISP_E_EXCEPTION);
    EXPECT_NE(refused.description.find("'Noted'"), std::string::npos) << refused.description;
    office::Package written = Show();
    std::string xml = written.Part("xl/worksheets/sheet1.xml");
    ExpectHas(xml, "<row r=\"5\"><c r=\"A5\"><v>2</v></c></row></sheetData>");  // styled rows fell off the end
    ExpectHas(written.Part("xl/comments2.xml"), "<comment ref=\"B1048576\"");
}

TEST_F(ShiftedPartsTest, CopiedRowsInsideARangeLeaveOnePiece)
{
    auto path = WorkbookBuilder()
                    .Sheet("Sheet1", "<row r=\"2\"><c r=\"B2\"><v>1</v></c></row><row r=\"3\"><c r=\"B3\"><v>2</v></c></row>",
                           "<conditionalFormatting sqref=\"B2:B4 C9\"><cfRule type=\"cellIs\" dxfId=\"0\" priority=\"1\" "
                           "operator=\"greaterThan\"><formula>5</formula></cfRule></conditionalFormatting>")
                    .Write(scratch.Path() / "pieces.xlsx");
    ComPtr<IDispatch> book = AddWorkbook(excel.Get(), path.string());
    ComPtr<IDispatch> sheet = Get(book.Get(), u"ActiveSheet");
    Call(RowOf(sheet.Get(), 3).Get(), u"Copy");
    Call(RowSpan(excel.Get(), sheet.Get(), 4, 6).Get(), u"Insert", {Var(kShiftDown)});
    ExpectHas(Show().Part("xl/worksheets/sheet1.xml"), "conditionalFormatting sqref=\"B2:B7 C12\"");
}

TEST(MergeRectListTest, PiecesThatOverlapOrTouchBecomeOne)
{
    using office::spreadsheet::FormatRectList;
    using office::spreadsheet::MergeRectList;
    using office::spreadsheet::ParseRectList;
    auto merged = [](const char* list) { return FormatRectList(MergeRectList(ParseRectList(list))); };
    EXPECT_EQ(merged("B18:B68 B19:B67"), "B18:B68");
    EXPECT_EQ(merged("B2 B3 B4:B9"), "B2:B9");
    EXPECT_EQ(merged("A1:A3 B1:B3 C1:C3"), "A1:C3");
    EXPECT_EQ(merged("A1:A2 B3:B4 A3"), "A1:A3 B3:B4");
    EXPECT_EQ(merged("D5 A1 D6"), "D5:D6 A1");
    EXPECT_EQ(merged("A1:B2 A3:A4"), "A1:B2 A3:A4");  // touching only along part of a side
}

}  // namespace
}  // namespace excel_test
