// Defined names of the workbook model: lookup as the application resolves
// them, their order in the Names collection, the ranges they refer to, and
// new names over a rectangle.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "office/spreadsheet/Workbook.h"

namespace office::spreadsheet {

struct NameTarget {
    int32_t sheet;
    CellRect rect;
};

// Letters, digits, "_", "\", "." and "?", not starting with a digit, not a
// cell reference (A1, R1C1), at most 255 characters.
bool IsValidName(std::string_view name);
// "Sheet1", or "'My Sheet'" when the name needs quotes in a reference.
std::string QuoteSheetName(std::string_view sheet);
// The text the application shows: "_xlnm." dropped, "Sheet!" before a sheet-level name.
std::string DisplayName(const Workbook& workbook, const DefinedName& name);

// The stored name without its "_xlnm." prefix.
std::string_view BareName(std::string_view stored);

// Positions of the names in the collection's alphabetical order.
const std::vector<size_t>& NamesInOrder(const Workbook& workbook);
// "Name" (workbook level first, then the active sheet's) or "Sheet!Name".
std::optional<size_t> FindName(const Workbook& workbook, std::string_view text);
std::optional<size_t> FindStoredName(const Workbook& workbook, std::string_view stored, int32_t localSheet);

// The single rectangle a name refers to, when it refers to one on a worksheet.
std::optional<NameTarget> TargetOf(const Workbook& workbook, const DefinedName& name);

// The absolute reference to a rectangle: Sheet!$A$1, Sheet!$A$1:$C$3,
// Sheet!$5:$9 for whole rows, Sheet!$A:$C for whole columns.
std::string AbsoluteReference(const Workbook& workbook, int32_t sheet, const CellRect& rect);

// Defines (or redefines) a workbook-level name over the rectangle. Throws
// AutomationError for an invalid name.
void DefineName(Workbook& workbook, std::string_view name, int32_t sheet, const CellRect& rect);

}  // namespace office::spreadsheet
