// Workbooks the server writes, read back by openpyxl: values, formulas,
// names, merged cells, number formats and custom properties.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "tests/office/spreadsheet/ExcelDriver.h"
#include "tests/office/spreadsheet/WorkbookBuilder.h"
#include "tests/support/TestFolders.h"

namespace excel_test {
namespace {

constexpr int kNone = -4142;

class IndependentReaderTest : public ::testing::Test {
protected:
    std::filesystem::path ShowOne()
    {
        return ShowWorkbooks(excel.Get());
    }

    void ExpectOpenpyxlReads(const std::filesystem::path& workbook, const std::string& expectations)
    {
        std::filesystem::path json = scratch.Path() / "expected.json";
        std::ofstream(json) << expectations;
        std::string script = std::string(std::getenv("TOLVANE_SOURCE_DIR")) + "/tests/office/spreadsheet/check_workbook.py";
        std::string output = (scratch.Path() / "check.txt").string();
        std::string command = "/usr/bin/python3 '" + script + "' '" + workbook.string() + "' '" + json.string() + "' > '" +
                              output + "' 2>&1";
        int status = std::system(command.c_str());
        std::ifstream report(output);
        std::string text((std::istreambuf_iterator<char>(report)), std::istreambuf_iterator<char>());
        EXPECT_EQ(status, 0) << text;
    }

    ScratchFolder scratch;
    ComPtr<IDispatch> excel = StartExcel();
};

void WriteColumn(IDispatch* excel, IDispatch* firstCell, const std::vector<std::string>& values)
{
    ComPtr<IDispatch> target = Get(firstCell, u"Resize", {Var(int(values.size())), Var(1)});
    Put(excel, u"EnableEvents", Var(0));
    Put(target.Get(), u"Value", Var::Column(values));
    std::string format = GetText(firstCell, u"NumberFormat");
    if (format != "General") {
        Put(target.Get(), u"NumberFormat", Var(GetText(firstCell, u"NumberFormatLocal").c_str()));
    }
    Put(excel, u"EnableEvents", Var(1));
}

// The example template filled the way the program fills a group: detail rows
// multiplied, columns written as arrays, a heading block inserted where the
// city changes, sub-group names and custom properties.
TEST_F(IndependentReaderTest, FilledSalesTemplate)
{
    std::string path = (SharedDir() / "examples" / "sales.xltx").string();
    ComPtr<IDispatch> book = AddWorkbook(excel.Get(), path);
    ComPtr<IDispatch> properties = Get(book.Get(), u"CustomDocumentProperties");
    Call(properties.Get(), u"Add", {Var("Template"), Var(false), Var(4), Var("sales.xltx")});
    Call(properties.Get(), u"Add", {Var("VeskGroupSales"), Var(false), Var(1), Var(4)});
    EXPECT_EQ(TryCall(properties.Get(), u"Add", {Var("template"), Var(false), Var(4), Var("again")}).hr, DISP_E_EXCEPTION);

    ComPtr<IDispatch> names = Get(book.Get(), u"names");
    auto named = [&](const char* name) { return Get(Call(names.Get(), u"Item", {Var(name)}).Get(), u"RefersToRange"); };
    Put(named("Period").Get(), u"Value", Var("Q1 2026"));
    Put(named("Source").Get(), u"Value", Var("ERP"));
    ComPtr<IDispatch> comment = Get(named("Author").Get(), u"Comment");
    ASSERT_TRUE(comment);
    EXPECT_NE(GetText(comment.Get(), u"Text").find("Write-only"), std::string::npos);

    ComPtr<IDispatch> sheet = Get(book.Get(), u"ActiveSheet");
    Call(sheet.Get(), u"Activate");
    Call(RowOf(sheet.Get(), 8).Get(), u"Copy");
    Call(RowSpan(excel.Get(), sheet.Get(), 9, 10).Get(), u"Select");
    Call(Get(excel.Get(), u"Selection").Get(), u"Insert", {Var(kShiftDown)});
    WriteColumn(excel.Get(), named("Product").Get(), {"Widget", "Gadget", "00123"});
    WriteColumn(excel.Get(), named("Units").Get(), {"10", "20", "30"});
    WriteColumn(excel.Get(), named("Revenue").Get(), {"1,234.50", "99.95", "10"});

    Put(named("Country").Get(), u"Value", Var("Norway"));
    Put(named("City").Get(), u"Value", Var("Bergen"));
    // The city changes at record 2 (row 9): a copy of the city row and one blank row go above it.
    Call(RowOf(sheet.Get(), 9).Get(), u"Select");
    Call(RowSpan(excel.Get(), sheet.Get(), 7, 7).Get(), u"Copy");
    Call(Get(excel.Get(), u"Selection").Get(), u"Insert", {Var(kShiftDown)});
    ComPtr<IDispatch> blank = RowOf(sheet.Get(), 9);
    Call(blank.Get(), u"Select");
    Call(blank.Get(), u"Insert", {Var(kShiftDown)});
    Put(Get(RowOf(sheet.Get(), 9).Get(), u"Interior").Get(), u"ColorIndex", Var(kNone));
    Put(RowSpan(excel.Get(), sheet.Get(), 10, 11).Get(), u"Name", Var("VeskSubGroupSales.1"));
    Put(Get(RowOf(sheet.Get(), 10).Get(), u"Borders", {Var(8)}).Get(), u"LineStyle", Var(kNone));
    Put(CellAt(sheet.Get(), 10, 2).Get(), u"Value", Var("Oslo"));
    Call(Get(excel.Get(), u"ActiveCell").Get(), u"Select");
    Call(book.Get(), u"Activate");
    Call(excel.Get(), u"SendKeys", {Var("{ESC}")});

    std::filesystem::path shown = ShowOne();
    EXPECT_EQ(shown.filename(), "sales1.xlsx");
    ExpectOpenpyxlReads(shown, R"json({
      "cells": {"Sales!B2": "Q1 2026", "Sales!B3": "(set by the add-in)", "Info!B3": "ERP",
                "Sales!A6": "Norway", "Sales!B7": "Bergen", "Sales!B10": "Oslo",
                "Sales!C8": "Widget", "Sales!D8": 10, "Sales!E8": 1234.5,
                "Sales!C11": "Gadget", "Sales!D11": 20, "Sales!E11": 99.95,
                "Sales!C12": "00123", "Sales!D12": 30, "Sales!E12": 10,
                "Sales!D14": "=SUM(D6:D13)", "Sales!E14": "=SUM(E6:E13)"},
      "formats": {"Sales!C12": "@", "Sales!D12": "0", "Sales!E11": "#,##0.00"},
      "names": {"VeskGroupSales": "Sales!$A$6:$E$13", "Period": "Sales!$B$2", "Source": "Info!$B$3",
                "Product": "Sales!$C$8", "VeskSubGroupSales.1": "Sales!$10:$11"},
      "properties": {"Template": "sales.xltx", "VeskGroupSales": 4}
    })json");
}

TEST_F(IndependentReaderTest, MergedCellsAndTypedValues)
{
    auto path = WorkbookBuilder()
                    .Sheet("Data",
                           "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row><row r=\"2\"><c r=\"A2\"><v>2</v></c></row>"
                           "<row r=\"3\"><c r=\"A3\"><f>SUM(A1:A2)</f><v>3</v></c></row>",
                           "<mergeCells count=\"2\"><mergeCell ref=\"B2:C2\"/><mergeCell ref=\"A10:B10\"/></mergeCells>")
                    .Name("Sum", "Data!$A$3")
                    .Write(scratch.Path() / "merged.xlsx");
    ComPtr<IDispatch> book = AddWorkbook(excel.Get(), path.string());
    ComPtr<IDispatch> sheet = Get(book.Get(), u"ActiveSheet");
    Call(RowOf(sheet.Get(), 2).Get(), u"Copy");
    Call(RowOf(sheet.Get(), 2).Get(), u"Insert", {Var(kShiftDown)});
    Put(CellAt(sheet.Get(), 6, 1).Get(), u"Value", Var("TRUE"));
    Put(CellAt(sheet.Get(), 7, 1).Get(), u"Value", Var("25%"));
    Put(CellAt(sheet.Get(), 8, 1).Get(), u"Value", Var("1/2/2020"));
    Put(CellAt(sheet.Get(), 9, 1).Get(), u"Value", Var("=A1*2"));
    ExpectOpenpyxlReads(ShowOne(), R"json({
      "cells": {"Data!A2": 2, "Data!A3": 2, "Data!A4": "=SUM(A1:A3)", "Data!A6": true, "Data!A7": 0.25,
                "Data!A9": "=A1*2"},
      "formats": {"Data!A7": "0%", "Data!A8": "mm-dd-yy"},
      "names": {"Sum": "Data!$A$4"},
      "merged": {"Data": ["B2:C2", "B3:C3", "A11:B11"]}
    })json");
}

// Every Excel-made sample, edited (a value, a blank row, copied rows) and
// written, still reads: shared formulas, tables, drawings and the rest survive.
TEST_F(IndependentReaderTest, EditedSamples)
{
    std::string samples = (SharedDir() / "samples").string() + "/";
    for (const char* name : {"poi-45544.xlsx", "poi-48923.xlsx", "poi-54399.xlsx", "poi-56274.xlsx", "poi-61034.xlsx",
                             "poi-ForShifting.xlsx", "poi-WithVariousData.xlsx", "poi-conditional_formatting_cell_is.xlsx",
                             "poi-simple-monthly-budget.xlsx", "poi-test.xltx"}) {
        SCOPED_TRACE(name);
        for (const auto& file : scratch.OutputFiles()) {
            std::filesystem::remove(file);
        }
        ComPtr<IDispatch> book = AddWorkbook(excel.Get(), samples + name);
        ComPtr<IDispatch> sheet = Get(book.Get(), u"ActiveSheet");
        std::string sheetName = GetText(sheet.Get(), u"Name");
        Call(RowOf(sheet.Get(), 2).Get(), u"Insert", {Var(kShiftDown)});
        Call(RowSpan(excel.Get(), sheet.Get(), 3, 4).Get(), u"Copy");
        Call(RowSpan(excel.Get(), sheet.Get(), 6, 9).Get(), u"Insert", {Var(kShiftDown)});
        Put(CellAt(sheet.Get(), 1, 26).Get(), u"Value", Var("checked"));
        std::filesystem::path shown = ShowOne();
        Call(book.Get(), u"Close", {Var(false)});
        Put(excel.Get(), u"Visible", Var(0));
        ExpectOpenpyxlReads(shown, "{\"cells\": {\"" + sheetName + "!Z1\": \"checked\"}}");
    }
}

TEST_F(IndependentReaderTest, BlankWorkbook)
{
    ComPtr<IDispatch> book = Call(Get(excel.Get(), u"Workbooks").Get(), u"Add");
    ComPtr<IDispatch> sheet = Get(book.Get(), u"ActiveSheet");
    Put(CellAt(sheet.Get(), 1, 1).Get(), u"Value", Var("Total"));
    Put(CellAt(sheet.Get(), 1, 2).Get(), u"Value", Var("$1,234.50"));
    Put(CellAt(sheet.Get(), 2, 1).Get(), u"Name", Var("Label"));
    ExpectOpenpyxlReads(ShowOne(), R"json({
      "cells": {"Sheet1!A1": "Total", "Sheet1!B1": 1234.5},
      "formats": {"Sheet1!B1": "$#,##0.00_);($#,##0.00)"},
      "names": {"Label": "Sheet1!$A$2"}
    })json");
}

}  // namespace
}  // namespace excel_test
