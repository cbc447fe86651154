// Driving the spreadsheet server as the program does: CoCreateInstance of
// "Excel.Application" and IDispatch calls by member name, nothing else.
#pragma once

#include <filesystem>
#include <string>

#include "tests/support/DispatchDriver.h"

namespace excel_test {

// The calls themselves are the shared driver's.
using namespace dispatch_test;

// Range.Insert's Shift argument: the cells below move down.
constexpr int kShiftDown = -4121;

// Failed calls are recorded as test failures and the test goes on.
ComPtr<IDispatch> StartExcel();

// Workbooks.Add(path).
ComPtr<IDispatch> AddWorkbook(IDispatch* excel, const std::string& path);
// Cells(row, column) of a sheet.
ComPtr<IDispatch> CellAt(IDispatch* sheet, int row, int column);
// Rows(row) of a sheet, and Range(Rows(first), Rows(last)) of the application.
ComPtr<IDispatch> RowOf(IDispatch* sheet, int row);
ComPtr<IDispatch> RowSpan(IDispatch* excel, IDispatch* sheet, int first, int last);
// A name's RefersToRange, as Sheet!$A$1-style text via Address.
std::string NameAddress(IDispatch* workbook, const char* name);
// Visible = 1, which writes the open workbooks; the first path the server printed.
std::filesystem::path ShowWorkbooks(IDispatch* excel);

}  // namespace excel_test
