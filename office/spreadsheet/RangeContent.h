// Values and number formats of a rectangle of cells, as automation variants.
#pragma once

#include <string>

#include "office/spreadsheet/CellAddress.h"
#include "office/spreadsheet/Workbook.h"
#include <ole2.h>

namespace office::spreadsheet {

// A scalar goes into every cell; a 2-D array (or a 1-D one, as a row) fills
// the rectangle element by element, #N/A where the array is too small.
void PutRangeValue(Workbook& workbook, Sheet& sheet, const CellRect& rect, const VARIANT& value);
// One cell gives its value; a larger rectangle a 2-D array of variants.
void GetRangeValue(Workbook& workbook, Sheet& sheet, const CellRect& rect, VARIANT* result);

// The common format code, or VT_NULL when the cells differ.
void GetNumberFormat(Workbook& workbook, Sheet& sheet, const CellRect& rect, VARIANT* result);
void PutNumberFormat(Workbook& workbook, Sheet& sheet, const CellRect& rect, const std::string& code);

// Formatting of whole rows or cells: no fill, no top border.
void ClearFill(Workbook& workbook, Sheet& sheet, const CellRect& rect);
void ClearTopBorder(Workbook& workbook, Sheet& sheet, const CellRect& rect);
bool HasNoFill(Workbook& workbook, Sheet& sheet, const CellRect& rect);

}  // namespace office::spreadsheet
