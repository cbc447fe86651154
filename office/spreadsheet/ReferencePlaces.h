// The places in a sheet's parts that hold a reference to its rows: ranges,
// formulas, page breaks and object anchors in the sheet part, its tables,
// pivot tables, form-control properties, drawing and VML drawing. Inserting
// rows moves every one of them; a new kind of place is one entry in the list.
#pragma once

#include <cstdint>

#include "office/spreadsheet/Workbook.h"

namespace office::spreadsheet {

// The highest row at or below `at` where something of the sheet's parts
// starts, that is where it would move to once `at` gets new rows; 0 when
// nothing there moves.
int32_t LowestPlaceMoved(Sheet& sheet, int32_t at);

// Moves what the places of every sheet hold for `count` rows inserted above
// row `at` of sheet `sheetIndex`: ranges, breaks and anchors of that sheet,
// and formulas on any sheet that refer to it.
void ShiftReferencePlaces(Workbook& workbook, int32_t sheetIndex, int32_t at, int32_t count);

}  // namespace office::spreadsheet
