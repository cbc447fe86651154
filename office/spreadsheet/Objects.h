// Makers of the spreadsheet application's automation objects. Each object
// class lives in its own source file; they reach each other through these.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "office/dispatch/ComPtr.h"
#include "office/spreadsheet/SpreadsheetState.h"
#include <ole2.h>

class Call;

namespace office::spreadsheet {

using State = std::shared_ptr<ApplicationState>;
using Document = std::shared_ptr<SpreadsheetDocument>;

// How a range answers Count and Item: by cells, or by whole rows / columns.
enum class RangeView { Cells, Rows, Columns };

ComPtr<IDispatch> MakeApplication();
ComPtr<IDispatch> MakeWorkbooks(const State& state);
ComPtr<IDispatch> MakeWorkbook(const State& state, const Document& document);
ComPtr<IDispatch> MakeWorksheet(const State& state, const Document& document, int32_t sheet);
ComPtr<IDispatch> MakeRange(const State& state, const Document& document, int32_t sheet, CellRect rect,
                            RangeView view = RangeView::Cells);
ComPtr<IDispatch> MakeNames(const State& state, const Document& document);
// A name is identified by its stored text and its sheet (-1 for workbook level).
ComPtr<IDispatch> MakeName(const State& state, const Document& document, std::string name, int32_t localSheet);
ComPtr<IDispatch> MakeComment(std::string text);
ComPtr<IDispatch> MakeInterior(const State& state, const Document& document, int32_t sheet, CellRect rect);
ComPtr<IDispatch> MakeBorders(const State& state, const Document& document, int32_t sheet, CellRect rect);
ComPtr<IDispatch> MakeCustomProperties(const Document& document);
ComPtr<IDispatch> MakeAddIns();

// Range(Cell1[, Cell2]) on a sheet: each corner a range object of that sheet,
// an A1 reference or a defined name; the result spans both corners.
ComPtr<IDispatch> RangeFromArguments(const State& state, const Document& document, int32_t sheet, const Call& call);

// The range object's rectangle and sheet, when `object` is one of ours.
struct RangeTarget {
    Document document;
    int32_t sheet = 0;
    CellRect rect;
};
bool ReadRangeTarget(IDispatch* object, RangeTarget& target);

}  // namespace office::spreadsheet
