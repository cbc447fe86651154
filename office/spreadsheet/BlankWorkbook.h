// The package of a new, empty workbook (Workbooks.Add without a template).
#pragma once

#include "office/package/Package.h"

namespace office::spreadsheet {

// One empty sheet "Sheet1", the default styles, no names.
Package BlankWorkbookPackage();

}  // namespace office::spreadsheet
