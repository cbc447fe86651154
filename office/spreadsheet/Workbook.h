// The workbook model over a SpreadsheetML package: sheets, defined names,
// shared strings and styles. Parts the model does not change are written
// back exactly as they were read.
#pragma once

#include <pugixml.hpp>

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "office/package/Package.h"
#include "office/spreadsheet/Formula.h"
#include "office/spreadsheet/NameIndex.h"
#include "office/spreadsheet/SharedStrings.h"
#include "office/spreadsheet/Sheet.h"
#include "office/spreadsheet/Styles.h"

namespace office::spreadsheet {

struct DefinedName {
    std::string name;         // as stored, "_xlnm." included
    int32_t localSheet = -1;  // sheet index for a sheet-level name
    Formula formula;
    std::vector<std::pair<std::string, std::string>> attributes;  // the others, kept
};

// A chart part and its series formulas (<c:f>), which refer to sheet cells.
struct ChartPart {
    SheetPart part;
    std::vector<pugi::xml_node> formulas;
};

class Workbook {
public:
    // Reads a template or workbook. Throws PackageError naming the file and
    // the reason.
    static std::unique_ptr<Workbook> FromPackage(Package package);

    std::vector<std::unique_ptr<Sheet>> sheets;
    PendingFormulaRows pendingRows{sheets};
    std::vector<DefinedName> names;
    mutable NameIndex nameIndex;  // follows `names`: told of every change to it
    std::vector<ChartPart> charts;
    std::vector<SheetPart> pivotCaches;  // their worksheetSource follows inserted rows
    SharedStrings strings;
    Styles styles;
    Package package;  // custom properties are edited here directly
    int32_t activeSheet = 0;
    bool macroEnabled = false;

    int32_t SheetIndex(std::string_view name) const;  // case-insensitive; kSheetUnknown when absent
    SheetResolver Resolver() const;

    // Values or formulas changed: the file is recalculated when opened, and
    // its calculation chain, which lists cells by position, is dropped.
    void CellsChanged() { formulasChanged = true; }
    // Names added, removed or renamed: the index starts again.
    void NamesChanged()
    {
        namesChanged = true;
        nameIndex.Reset();
    }
    // Only what names refer to changed, and the index was told.
    void NameReferencesChanged() { namesChanged = true; }
    void ActiveSheetChanged() { activeSheetChanged = true; }

    // The package with every change written into it; a template's main part
    // becomes a workbook's. Changed sheets are written only as the package is
    // (StreamedEntry), so it is written while this workbook lives, before the
    // next change, or compressed first (Package::Compress).
    Package Build();

private:
    void ReadWorkbookPart();
    void ReadSheets();
    void ReadSheetParts(Sheet& sheet);
    // Throws PackageError when another owner has read the part already.
    void ClaimPart(const std::string& part, const std::string& owner);
    void ReadCharts();
    void ReadPivotCaches();
    void WriteWorkbookPart(Package& out) const;
    void MarkSelectedTab();

    std::string workbookPart;
    pugi::xml_document workbookXml;
    std::map<std::string, std::string> claimedParts;  // lower-case part name -> its reader
    std::string stringsPart;
    std::string stylesPart;
    bool formulasChanged = false;
    bool namesChanged = false;
    bool activeSheetChanged = false;
};

}  // namespace office::spreadsheet
