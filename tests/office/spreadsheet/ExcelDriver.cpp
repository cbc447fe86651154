#include "tests/office/spreadsheet/ExcelDriver.h"

#include <gtest/gtest.h>

#include "office/spreadsheet/Registration.h"

namespace excel_test {
namespace {

void RecordTestFailure(const std::string& what)
{
    ADD_FAILURE() << what;
}

}  // namespace

ComPtr<IDispatch> StartExcel()
{
    CoInitialize(nullptr);
    RegisterSpreadsheetServer();
    dispatch_test::ReportFailuresTo(RecordTestFailure);
    return dispatch_test::CreateServer(u"Excel.Application");
}

ComPtr<IDispatch> AddWorkbook(IDispatch* excel, const std::string& path)
{
    return Call(Get(excel, u"Workbooks").Get(), u"Add", {Var(path.c_str())});
}

ComPtr<IDispatch> CellAt(IDispatch* sheet, int row, int column)
{
    return Get(Get(sheet, u"Cells").Get(), u"Item", {Var(row), Var(column)});
}

ComPtr<IDispatch> RowOf(IDispatch* sheet, int row)
{
    return Get(Get(sheet, u"Rows").Get(), u"Item", {Var(row)});
}

ComPtr<IDispatch> RowSpan(IDispatch* excel, IDispatch* sheet, int first, int last)
{
    return Get(excel, u"Range", {Var(RowOf(sheet, first)), Var(RowOf(sheet, last))});
}

std::string NameAddress(IDispatch* workbook, const char* name)
{
    ComPtr<IDispatch> item = Call(Get(workbook, u"Names").Get(), u"Item", {Var(name)});
    ComPtr<IDispatch> range = Get(item.Get(), u"RefersToRange");
    return GetText(range.Get(), u"Address");
}

std::filesystem::path ShowWorkbooks(IDispatch* excel)
{
    ::testing::internal::CaptureStdout();
    Put(excel, u"Visible", Var(1));
    std::string printed = ::testing::internal::GetCapturedStdout();
    return printed.substr(0, printed.find('\n'));
}

}  // namespace excel_test
