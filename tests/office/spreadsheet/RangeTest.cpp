// Ranges through IDispatch: comments, number formats, values and their
// conversion, sizes, formatting members and the application's navigation.
#include <gtest/gtest.h>

#include "tests/office/spreadsheet/ExcelDriver.h"
#include "tests/office/spreadsheet/WorkbookBuilder.h"
#include "tests/support/TestFolders.h"

namespace excel_test {
namespace {

class RangeTest : public ::testing::Test {
protected:
    ComPtr<IDispatch> Built()
    {
        auto path = WorkbookBuilder()
                        .Strings({"text"})
                        .Sheet("Sheet1",
                               "<row r=\"1\"><c r=\"A1\" s=\"1\"/><c r=\"B1\" s=\"2\"><v>1.5</v></c>"
                               "<c r=\"C1\" s=\"4\"><v>43832</v></c><c r=\"D1\" t=\"s\"><v>0</v></c></row>"
                               "<row r=\"2\" s=\"3\" customFormat=\"1\"><c r=\"A2\" s=\"3\"/></row>")
                        .Sheet("Second", "")
                        .Write(scratch.Path() / "range.xlsx");
        ComPtr<IDispatch> book = AddWorkbook(excel.Get(), path.string());
        sheet = Get(book.Get(), u"ActiveSheet");
        return book;
    }

    Var ValueAt(int row, int column) { return Invoke(CellAt(sheet.Get(), row, column).Get(), u"Value", DISPATCH_PROPERTYGET); }

    ScratchFolder scratch;
    ComPtr<IDispatch> excel = StartExcel();
    ComPtr<IDispatch> sheet;
};

TEST_F(RangeTest, CommentsAreReadAndMissingOnesAreNothing)
{
    ComPtr<IDispatch> book = AddWorkbook(excel.Get(), SamplePath("poi-WithVariousData.xlsx"));
    ComPtr<IDispatch> first = Get(book.Get(), u"ActiveSheet");
    ComPtr<IDispatch> comment = Get(CellAt(first.Get(), 5, 3).Get(), u"Comment");
    ASSERT_TRUE(comment);
    EXPECT_EQ(GetText(comment.Get(), u"Text"), "Nick Burch:\nThis is a comment");
    Var none = Invoke(CellAt(first.Get(), 6, 3).Get(), u"Comment", DISPATCH_PROPERTYGET);
    EXPECT_EQ(none.value.vt, VT_DISPATCH);
    EXPECT_EQ(none.value.pdispVal, nullptr);
    // The comment of a range is the one of its top-left cell.
    ComPtr<IDispatch> block = Get(CellAt(first.Get(), 7, 3).Get(), u"Resize", {Var(3), Var(2)});
    EXPECT_EQ(GetText(Get(block.Get(), u"Comment").Get(), u"Text"), "Nick Burch:\nComment #1\n");
}

TEST_F(RangeTest, NumberFormatsAreReadAndPutBack)
{
    ComPtr<IDispatch> book = AddWorkbook(excel.Get(), SamplePath("poi-45544.xlsx"));
    ComPtr<IDispatch> first = Get(book.Get(), u"ActiveSheet");
    EXPECT_EQ(GetText(CellAt(first.Get(), 5, 1).Get(), u"NumberFormat"), "[$-409]mmmm\\ d\\,\\ yyyy;@");
    EXPECT_EQ(GetText(CellAt(first.Get(), 10, 2).Get(), u"NumberFormatLocal"), "0.0%");
    EXPECT_EQ(GetText(CellAt(first.Get(), 10, 3).Get(), u"NumberFormat"), "General");
    ComPtr<IDispatch> target = Get(CellAt(first.Get(), 30, 3).Get(), u"Resize", {Var(3), Var(1)});
    Put(target.Get(), u"NumberFormat", Var(GetText(CellAt(first.Get(), 5, 1).Get(), u"NumberFormatLocal").c_str()));
    EXPECT_EQ(GetText(target.Get(), u"NumberFormat"), "[$-409]mmmm\\ d\\,\\ yyyy;@");
    // Mixed formats read as Null.
    ComPtr<IDispatch> mixed = Get(CellAt(first.Get(), 10, 2).Get(), u"Resize", {Var(1), Var(2)});
    EXPECT_EQ(Invoke(mixed.Get(), u"NumberFormat", DISPATCH_PROPERTYGET).value.vt, VT_NULL);
}

TEST_F(RangeTest, BuiltInFormatsUseTheApplicationsCodes)
{
    Built();
    EXPECT_EQ(GetText(CellAt(sheet.Get(), 1, 1).Get(), u"NumberFormat"), "@");
    EXPECT_EQ(GetText(CellAt(sheet.Get(), 1, 2).Get(), u"NumberFormat"), "0.00");
    EXPECT_EQ(GetText(CellAt(sheet.Get(), 1, 3).Get(), u"NumberFormat"), "m/d/yyyy");
    Put(CellAt(sheet.Get(), 5, 5).Get(), u"NumberFormat", Var("#,##0.00"));
    EXPECT_EQ(GetText(CellAt(sheet.Get(), 5, 5).Get(), u"NumberFormat"), "#,##0.00");
    Put(CellAt(sheet.Get(), 5, 6).Get(), u"NumberFormat", Var("0.000"));
    EXPECT_EQ(GetText(CellAt(sheet.Get(), 5, 6).Get(), u"NumberFormat"), "0.000");
}

TEST_F(RangeTest, TextsBecomeValuesUnlessTheCellIsText)
{
    Built();
    Put(CellAt(sheet.Get(), 1, 1).Get(), u"Value", Var("00123"));  // formatted as Text
    EXPECT_EQ(ValueAt(1, 1).Text(), "00123");
    Put(CellAt(sheet.Get(), 3, 1).Get(), u"Value", Var("00123"));
    EXPECT_EQ(ValueAt(3, 1).value.vt, VT_R8);
    EXPECT_EQ(ValueAt(3, 1).value.dblVal, 123);
    Put(CellAt(sheet.Get(), 3, 2).Get(), u"Value", Var("12.5%"));
    EXPECT_EQ(GetText(CellAt(sheet.Get(), 3, 2).Get(), u"NumberFormat"), "0.00%");
    Put(CellAt(sheet.Get(), 1, 2).Get(), u"Value", Var("12.5%"));  // keeps its own format
    EXPECT_EQ(GetText(CellAt(sheet.Get(), 1, 2).Get(), u"NumberFormat"), "0.00");
    EXPECT_DOUBLE_EQ(ValueAt(1, 2).value.dblVal, 0.125);
    Put(CellAt(sheet.Get(), 3, 3).Get(), u"Value", Var("2020-01-02"));
    EXPECT_EQ(ValueAt(3, 3).value.vt, VT_DATE);
    EXPECT_EQ(ValueAt(3, 3).value.date, 43832);
    EXPECT_EQ(GetText(CellAt(sheet.Get(), 3, 3).Get(), u"NumberFormat"), "m/d/yyyy");
    Put(CellAt(sheet.Get(), 3, 4).Get(), u"Value", Var("true"));
    EXPECT_EQ(ValueAt(3, 4).value.vt, VT_BOOL);
    Put(CellAt(sheet.Get(), 3, 5).Get(), u"Value", Var("'TRUE"));
    EXPECT_EQ(ValueAt(3, 5).Text(), "TRUE");
    Put(CellAt(sheet.Get(), 1, 4).Get(), u"Value", Var(""));
    EXPECT_EQ(ValueAt(1, 4).value.vt, VT_EMPTY);
    Put(CellAt(sheet.Get(), 3, 6).Get(), u"Value", Var("Bergen"));
    EXPECT_EQ(ValueAt(3, 6).Text(), "Bergen");
    // A new cell in a formatted row takes the row's format.
    Put(CellAt(sheet.Get(), 2, 7).Get(), u"Value", Var("5"));
    Var fill = Invoke(Get(CellAt(sheet.Get(), 2, 7).Get(), u"Interior").Get(), u"ColorIndex", DISPATCH_PROPERTYGET);
    EXPECT_NE(fill.value.vt, VT_I4);  // filled, not -4142
}

TEST_F(RangeTest, ColumnArraysFillTheirCellsInOrderAndPadWithNotAvailable)
{
    Built();
    ComPtr<IDispatch> target = Get(CellAt(sheet.Get(), 4, 2).Get(), u"Resize", {Var(4), Var(1)});
    Put(target.Get(), u"Value", Var::Column({"1", "two", "3"}));
    EXPECT_EQ(ValueAt(4, 2).value.dblVal, 1);
    EXPECT_EQ(ValueAt(5, 2).Text(), "two");
    EXPECT_EQ(ValueAt(6, 2).value.dblVal, 3);
    EXPECT_EQ(ValueAt(7, 2).value.vt, VT_ERROR);
    EXPECT_EQ(ULONG(ValueAt(7, 2).value.scode), 0x800A07FAu);  // #N/A
    ComPtr<IDispatch> shorter = Get(CellAt(sheet.Get(), 4, 3).Get(), u"Resize", {Var(2), Var(1)});
    Put(shorter.Get(), u"Value", Var::Column({"a", "b", "c"}));
    EXPECT_EQ(ValueAt(6, 3).value.vt, VT_EMPTY);
    Var read = Invoke(target.Get(), u"Value", DISPATCH_PROPERTYGET);
    ASSERT_EQ(read.value.vt, VT_ARRAY | VT_VARIANT);
    EXPECT_EQ(SafeArrayGetDim(read.value.parray), 2u);
}

TEST_F(RangeTest, SizesRowsItemsAndResize)
{
    ComPtr<IDispatch> book = Built();
    ComPtr<IDispatch> block = RowSpan(excel.Get(), sheet.Get(), 7, 3);  // corners are normalised
    EXPECT_EQ(GetInt(block.Get(), u"Row"), 3);
    EXPECT_EQ(GetInt(Get(block.Get(), u"Rows").Get(), u"Count"), 5);
    EXPECT_EQ(GetText(block.Get(), u"Address"), "$3:$7");
    ComPtr<IDispatch> cell = CellAt(sheet.Get(), 2, 3);
    EXPECT_EQ(GetInt(cell.Get(), u"Count"), 1);
    ComPtr<IDispatch> resized = Get(cell.Get(), u"Resize", {Var(3), Var(2)});
    EXPECT_EQ(GetText(resized.Get(), u"Address"), "$C$2:$D$4");
    EXPECT_EQ(GetInt(resized.Get(), u"Count"), 6);
    EXPECT_EQ(GetText(Get(resized.Get(), u"Item", {Var(2), Var(2)}).Get(), u"Address"), "$D$3");
    EXPECT_EQ(TryGet(cell.Get(), u"Resize", {Var(0), Var(1)}).hr, DISP_E_EXCEPTION);
    EXPECT_EQ(GetText(Get(cell.Get(), u"Worksheet").Get(), u"CodeName"), "Sheet1");
    EXPECT_EQ(GetText(Get(excel.Get(), u"Range", {Var("B2:C3")}).Get(), u"Address"), "$B$2:$C$3");
    EXPECT_EQ(TryGet(excel.Get(), u"Range", {Var("nonsense!!")}).hr, DISP_E_EXCEPTION);
    ComPtr<IDispatch> second = Call(book.Get(), u"Worksheets", {Var("Second")});
    EXPECT_EQ(TryGet(excel.Get(), u"Range", {Var(RowOf(sheet.Get(), 1)), Var(RowOf(second.Get(), 2))}).hr,
              DISP_E_EXCEPTION);
}

TEST_F(RangeTest, SelectionActiveCellAndActivation)
{
    ComPtr<IDispatch> book = Built();
    EXPECT_EQ(GetText(Get(excel.Get(), u"ActiveCell").Get(), u"Address"), "$A$1");
    Call(CellAt(sheet.Get(), 4, 2).Get(), u"Select");
    EXPECT_EQ(GetText(Get(excel.Get(), u"Selection").Get(), u"Address"), "$B$4");
    EXPECT_EQ(GetText(Get(excel.Get(), u"ActiveCell").Get(), u"Address"), "$B$4");
    ComPtr<IDispatch> second = Call(book.Get(), u"Worksheets", {Var(2)});
    Call(second.Get(), u"Activate");
    EXPECT_EQ(GetText(Get(book.Get(), u"ActiveSheet").Get(), u"Name"), "Second");
    EXPECT_EQ(GetText(second.Get(), u"CodeName"), "Second");
}

TEST_F(RangeTest, FillAndTopBorderAreCleared)
{
    Built();
    ComPtr<IDispatch> row = RowOf(sheet.Get(), 2);
    EXPECT_NE(Invoke(Get(row.Get(), u"Interior").Get(), u"ColorIndex", DISPATCH_PROPERTYGET).value.vt, VT_I4);
    Put(Get(row.Get(), u"Interior").Get(), u"ColorIndex", Var(-4142));
    EXPECT_EQ(GetInt(Get(row.Get(), u"Interior").Get(), u"ColorIndex"), -4142);
    Put(Get(row.Get(), u"Borders", {Var(8)}).Get(), u"LineStyle", Var(-4142));
    EXPECT_EQ(TryPut(Get(row.Get(), u"Interior").Get(), u"ColorIndex", Var(3)).hr, DISP_E_EXCEPTION);
}

TEST_F(RangeTest, ApplicationSettingsAndAddIns)
{
    EXPECT_EQ(GetInt(excel.Get(), u"WindowState"), -4143);
    Put(excel.Get(), u"WindowState", Var(-4140));
    EXPECT_EQ(GetInt(excel.Get(), u"WindowState"), -4140);
    EXPECT_EQ(TryPut(excel.Get(), u"WindowState", Var(7)).hr, DISP_E_EXCEPTION);
    Put(excel.Get(), u"EnableEvents", Var(0));
    EXPECT_EQ(Invoke(excel.Get(), u"EnableEvents", DISPATCH_PROPERTYGET).value.boolVal, VARIANT_FALSE);
    Outcome addIn = TryGet(excel.Get(), u"AddIns", {Var("VeskBaseAddin")});
    EXPECT_EQ(addIn.hr, DISP_E_EXCEPTION);
    EXPECT_NE(addIn.description.find("VeskBaseAddin"), std::string::npos);
    EXPECT_EQ(TryCall(excel.Get(), u"SendKeys", {Var("{ESC}")}).hr, S_OK);
    EXPECT_EQ(Invoke(excel.Get(), u"Selection", DISPATCH_PROPERTYGET).value.pdispVal, nullptr);
    EXPECT_EQ(TryGet(excel.Get(), u"NoSuchMember").hr, DISP_E_UNKNOWNNAME);
}

}  // namespace
}  // namespace excel_test
