// Writes the sheet model back as a worksheet part: the kept XML with fresh
// sheetData, dimension and merged cells.
#pragma once

#include <string>

#include "office/package/ZipArchive.h"

#include "office/spreadsheet/Sheet.h"

namespace office::spreadsheet {

// The part's text goes to sink in pieces, so that a large sheet is never held whole.
void WriteSheet(Sheet& sheet, const PartSink& sink);
std::string WriteSheet(Sheet& sheet);

// Inserts a new child element into a worksheet root at its place in the
// schema's order of children.
pugi::xml_node InsertWorksheetChild(pugi::xml_node root, std::string_view localName);

}  // namespace office::spreadsheet
