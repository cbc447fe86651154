// Inserting whole rows into a sheet of the workbook model, and everything that
// moves with them: cells, formulas on every sheet, defined names, merged
// cells, comments and their drawings, conditional formats, validations,
// hyperlinks, tables, drawings and page breaks.
#pragma once

#include <cstdint>

#include "office/spreadsheet/Workbook.h"

namespace office::spreadsheet {

struct RowBlock {
    int32_t sheet = 0;
    int32_t top = 1;
    int32_t bottom = 1;
};

// `count` empty rows above row `at`, formatted like the row above (height,
// row style and cell styles; no values, no merges). Throws AutomationError when
// cells with content, comments or anchored objects would be pushed off the
// sheet; rows that only carry a format are dropped at its end.
void InsertBlankRows(Workbook& workbook, int32_t sheet, int32_t at, int32_t count);

// `times` copies of the source rows inserted above row `at`: values, formulas
// re-based to their new rows, styles, heights, merges, comments, hyperlinks,
// conditional formats and validations.
void InsertCopiedRows(Workbook& workbook, int32_t sheet, int32_t at, const RowBlock& source, int32_t times);

}  // namespace office::spreadsheet
