// A table's column names are the texts of its header cells; a file where they
// differ is "repaired" by the real application when it opens it.
#pragma once

#include "office/spreadsheet/Workbook.h"

namespace office::spreadsheet {

// Gives each column of the sheet's tables the text of its header cell, kept
// unique within the table ("Product", "Product2"). Empty and non-text header
// cells leave the name as it is.
void MatchTableColumnNames(Workbook& workbook, Sheet& sheet);

}  // namespace office::spreadsheet
