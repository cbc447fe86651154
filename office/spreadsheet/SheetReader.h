// Reads a worksheet part into the sheet model.
#pragma once

#include <string_view>

#include "office/spreadsheet/Formula.h"
#include "office/spreadsheet/SharedStrings.h"
#include "office/spreadsheet/Sheet.h"

namespace office::spreadsheet {

// Throws PackageError (text naming `what`) for XML that is not well-formed and
// for cells or dimensions outside the sheet's 1,048,576 rows and 16,384 columns.
void ReadSheet(Sheet& sheet, std::string_view xml, const std::string& what, const SheetResolver& resolve,
               SharedStrings& strings);

}  // namespace office::spreadsheet
