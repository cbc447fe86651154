// Names of real Excel workbooks and of small built ones, through IDispatch.
#include <gtest/gtest.h>

#include "tests/office/spreadsheet/ExcelDriver.h"
#include "tests/office/spreadsheet/WorkbookBuilder.h"
#include "tests/support/TestFolders.h"

namespace excel_test {
namespace {

class NamesTest : public ::testing::Test {
protected:
    ScratchFolder scratch;
    ComPtr<IDispatch> excel = StartExcel();
};

TEST_F(NamesTest, NamesByNameAndIndexInAlphabeticalOrder)
{
    ComPtr<IDispatch> book = AddWorkbook(excel.Get(), SamplePath("poi-48923.xlsx"));
    ComPtr<IDispatch> names = Get(book.Get(), u"Names");
    LONG count = GetInt(names.Get(), u"count");
    ASSERT_EQ(count, 4);
    std::vector<std::string> ordered;
    for (int i = 1; i <= count; ++i) {
        ordered.push_back(GetText(Call(names.Get(), u"Item", {Var(i)}).Get(), u"name"));
    }
    EXPECT_EQ(ordered, (std::vector<std::string>{"NameB1", "NameB2", "NameSheet2", "Test"}));
    EXPECT_EQ(NameAddress(book.Get(), "test"), "$A$3:$B$4");
    ComPtr<IDispatch> range = Get(Call(names.Get(), u"Item", {Var("NAMESHEET2")}).Get(), u"RefersToRange");
    EXPECT_EQ(GetText(Get(range.Get(), u"Worksheet").Get(), u"CodeName"), "Sheet2");
    EXPECT_EQ(GetInt(range.Get(), u"row"), 2);
    EXPECT_EQ(GetInt(range.Get(), u"Column"), 2);

    Outcome missing = TryCall(names.Get(), u"Item", {Var("NoSuchName")});
    EXPECT_EQ(missing.hr, DISP_E_EXCEPTION);
    EXPECT_NE(missing.description.find("NoSuchName"), std::string::npos);
    EXPECT_EQ(TryCall(names.Get(), u"Item", {Var(5)}).hr, DISP_E_EXCEPTION);
}

TEST_F(NamesTest, RefersToRangeFailsForRefErrorsConstantsFormulasAndExternalBooks)
{
    ComPtr<IDispatch> book = AddWorkbook(excel.Get(), SamplePath("poi-56274.xlsx"));
    ComPtr<IDispatch> broken = Call(Get(book.Get(), u"Names").Get(), u"Item", {Var("reportDate")});
    Outcome outcome = TryGet(broken.Get(), u"RefersToRange");
    EXPECT_EQ(outcome.hr, DISP_E_EXCEPTION);
    EXPECT_NE(outcome.description.find("#REF!"), std::string::npos);

    ComPtr<IDispatch> budget = AddWorkbook(excel.Get(), SamplePath("poi-simple-monthly-budget.xlsx"));
    ComPtr<IDispatch> names = Get(budget.Get(), u"Names");
    for (int i = 1; i <= GetInt(names.Get(), u"Count"); ++i) {
        ComPtr<IDispatch> name = Call(names.Get(), u"Item", {Var(i)});
        std::string refersTo = GetText(name.Get(), u"RefersTo");
        if (refersTo.find("SUM(") != std::string::npos) {
            EXPECT_EQ(TryGet(name.Get(), u"RefersToRange").hr, DISP_E_EXCEPTION) << refersTo;
        }
    }

    ComPtr<IDispatch> external = AddWorkbook(excel.Get(), SamplePath("poi-54399.xlsx"));
    names = Get(external.Get(), u"Names");
    int refused = 0;
    for (int i = 1; i <= GetInt(names.Get(), u"Count"); ++i) {
        ComPtr<IDispatch> name = Call(names.Get(), u"Item", {Var(i)});
        std::string refersTo = GetText(name.Get(), u"RefersTo");
        if (refersTo.find('[') != std::string::npos || refersTo.find('"') != std::string::npos) {
            EXPECT_EQ(TryGet(name.Get(), u"RefersToRange").hr, DISP_E_EXCEPTION) << refersTo;
            ++refused;
        }
    }
    EXPECT_GT(refused, 0);
}

TEST_F(NamesTest, SheetLevelNamesCarryTheirSheetAndResolveOnTheActiveSheet)
{
    auto path = WorkbookBuilder()
                    .Sheet("Data", "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>")
                    .Sheet("My Sheet", "")
                    .Name("Global", "Data!$A$1")
                    .Name("Local", "Data!$C$5", 0)
                    .Name("Other", "'My Sheet'!$B$2:$B$9", 1)
                    .Name("_xlnm.Print_Area", "Data!$A$1:$H$40", 0)
                    .Name("Constant", "\"QP1\"")
                    .Write(scratch.Path() / "local.xlsx");
    ComPtr<IDispatch> book = AddWorkbook(excel.Get(), path.string());
    ComPtr<IDispatch> names = Get(book.Get(), u"Names");
    EXPECT_EQ(GetText(Call(names.Get(), u"Item", {Var("Local")}).Get(), u"Name"), "Data!Local");
    EXPECT_EQ(GetText(Call(names.Get(), u"Item", {Var("'My Sheet'!Other")}).Get(), u"Name"), "'My Sheet'!Other");
    EXPECT_EQ(TryCall(names.Get(), u"Item", {Var("Other")}).hr, DISP_E_EXCEPTION);
    EXPECT_EQ(GetText(Call(names.Get(), u"Item", {Var("Data!Print_Area")}).Get(), u"Name"), "Data!Print_Area");
    EXPECT_EQ(NameAddress(book.Get(), "'My Sheet'!Other"), "$B$2:$B$9");
    Outcome constant = TryGet(Call(names.Get(), u"Item", {Var("Constant")}).Get(), u"RefersToRange");
    EXPECT_EQ(constant.hr, DISP_E_EXCEPTION);
}

TEST_F(NamesTest, RangeNamePutDefinesWholeRowsAndDeleteRemoves)
{
    auto path = WorkbookBuilder().Sheet("Sheet1", "").Name("Old", "Sheet1!$A$1").Write(scratch.Path() / "n.xlsx");
    ComPtr<IDispatch> book = AddWorkbook(excel.Get(), path.string());
    ComPtr<IDispatch> sheet = Get(book.Get(), u"ActiveSheet");
    Put(RowSpan(excel.Get(), sheet.Get(), 12, 14).Get(), u"Name", Var("VeskSubGroupX.1"));
    ComPtr<IDispatch> names = Get(book.Get(), u"Names");
    ComPtr<IDispatch> name = Call(names.Get(), u"Item", {Var("vesksubgroupx.1")});
    EXPECT_EQ(GetText(name.Get(), u"RefersTo"), "=Sheet1!$12:$14");
    ComPtr<IDispatch> rows = Get(Get(name.Get(), u"RefersToRange").Get(), u"rows");
    EXPECT_EQ(GetInt(rows.Get(), u"count"), 3);

    // Redefining replaces; invalid names are refused.
    Put(RowSpan(excel.Get(), sheet.Get(), 2, 2).Get(), u"Name", Var("Old"));
    EXPECT_EQ(GetInt(names.Get(), u"Count"), 2);
    EXPECT_EQ(NameAddress(book.Get(), "Old"), "$2:$2");
    for (const char* bad : {"A1", "R1C1", "has space", "1st"}) {
        EXPECT_EQ(TryPut(CellAt(sheet.Get(), 1, 1).Get(), u"Name", Var(bad)).hr, DISP_E_EXCEPTION) << bad;
    }

    EXPECT_EQ(TryCall(name.Get(), u"delete").hr, S_OK);
    EXPECT_EQ(GetInt(names.Get(), u"Count"), 1);
    EXPECT_EQ(TryGet(name.Get(), u"name").hr, DISP_E_EXCEPTION);
}

}  // namespace
}  // namespace excel_test
