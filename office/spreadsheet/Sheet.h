// One worksheet of the workbook model: its cells in a row store, its formulas,
// merged cells, and the rest of its part kept as an XML document that is
// written back around the cells.
#pragma once

#include <pugixml.hpp>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "office/spreadsheet/CellAddress.h"
#include "office/spreadsheet/Formula.h"
#include "office/spreadsheet/RowMap.h"
#include "office/spreadsheet/RowRects.h"
#include "office/spreadsheet/RowStore.h"
#include "office/spreadsheet/SheetHyperlinks.h"

namespace office::spreadsheet {

struct FormulaCell {
    Formula formula;
    std::string attributes;  // other attributes of <f>, written back as they were
    bool array = false;
    CellRect arrayRect;
    std::string cachedType;   // the cell's t for the cached value
    std::string cachedValue;  // the cached <v>, dropped when the formula moves
};

struct CellExtra {
    std::string attributes;  // unknown attributes of <c>, with a leading space each
    std::string children;    // unknown children of <c>, as XML
};

// A part that belongs to the sheet (comments, VML drawing, drawing, table),
// loaded when first needed and written back only when changed.
struct SheetPart {
    std::string name;
    std::unique_ptr<pugi::xml_document> document;
    bool changed = false;
};

// A run of columns with a default cell format (<cols><col min max style>).
struct ColumnStyle {
    int32_t min = 1;
    int32_t max = 1;
    uint32_t style = 0;
};

// A list of rectangles held in an attribute of the sheet part (sqref of a
// conditional format or validation, ref of a hyperlink that covers more than
// one rectangle), kept as numbers while rows move and written back as text
// before the part is written.
struct RangeList {
    pugi::xml_node owner;
    pugi::xml_attribute attribute;
    std::vector<CellRect> rects;
    // No two pieces are ones MergeRectList would join, so copies that touch
    // none of them can be added without joining the whole list again.
    bool joined = false;
};

// A legacy comment: its <comment> element, its VML shape (when the drawing
// could be read), and the cell it belongs to. Rows change as numbers; the
// parts are brought up to date before they are written.
struct CommentAnchor {
    pugi::xml_node comment;
    pugi::xml_node shape;
    int32_t row = 1;
    int32_t column = 1;
    int32_t writtenRow = 1;  // the row the parts hold
};

class Sheet;

// Rows inserted into a workbook's sheets that the formulas of its sheets have
// not followed yet. A grouped report inserts thousands of rows above thousands
// of formulas; they move once, when a formula is next read or added.
class PendingFormulaRows {
public:
    explicit PendingFormulaRows(const std::vector<std::unique_ptr<Sheet>>& sheets) : sheets(sheets) {}
    void Insert(int32_t sheet, int32_t at, int32_t count);
    bool Empty() const { return !pending; }
    // Moves the formulas of every sheet.
    void Settle();

private:
    const std::vector<std::unique_ptr<Sheet>>& sheets;
    std::vector<RowMap> bySheet;
    bool pending = false;
};

class Sheet {
public:
    std::string name;
    std::string partName;
    int32_t index = 0;
    bool isWorksheet = true;  // a grid of cells (worksheet or macro sheet); not a chart sheet, dialog or module
    std::string codeName;

    pugi::xml_document document;
    RowStore rows;
    RowRects merges;
    std::vector<ColumnStyle> columnStyles;
    bool changed = false;

    SheetPart comments;
    SheetPart vml;
    // The shapes of `vml` that move by their own anchor, listed on first use:
    // notes move with their comments, and a sheet may hold thousands of them.
    std::optional<std::vector<pugi::xml_node>> vmlOwnShapes;
    SheetPart drawing;
    std::vector<SheetPart> tables;
    std::vector<SheetPart> pivotTables;
    std::vector<SheetPart> controlProperties;  // of form controls: linked cell, input range

    CellAddress activeCell;
    CellRect selection;
    bool selectionChanged = false;
    // Puts a changed selection into the sheet view (not for split or frozen views).
    void WriteSelection();

    // The range lists of conditional formats, validations and hyperlinks,
    // read from the part on first use; a hyperlink that covers one rectangle
    // is kept among Hyperlinks() instead.
    std::vector<RangeList>& RangeLists();
    SheetHyperlinks& Hyperlinks();
    void WriteRangeLists();

    // Sorted by row, so that inserted rows move only the comments below them.
    std::vector<CommentAnchor>& Comments();
    // A copy of a comment (and its shape) for another row.
    void CopyComment(const CommentAnchor& source, int32_t row);
    void WriteComments();

    // Where the workbook keeps the rows its formulas have yet to follow.
    PendingFormulaRows* pendingRows = nullptr;

    // Formula slots referenced by Cell::index.
    uint32_t AddFormula(FormulaCell formula);
    FormulaCell& FormulaAt(uint32_t slot)
    {
        SettleFormulas();
        return *formulas[slot];
    }
    void RemoveFormula(uint32_t slot);
    template <typename Visit>
    void ForEachFormula(Visit visit)
    {
        SettleFormulas();
        for (auto& formula : formulas) {
            if (formula) {
                visit(*formula);
            }
        }
    }

    uint32_t AddText(std::string text);
    const std::string& TextAt(uint32_t index) const { return texts[index]; }
    uint32_t AddExtra(CellExtra extra);
    const CellExtra& ExtraAt(uint32_t index) const { return extras[index - 1]; }

    // The format a new cell at (row, column) starts with: the row's format
    // when the row has one, else its column's.
    uint32_t DefaultStyle(int32_t row, int32_t column) const;

    // Clears a cell's value, keeping its style; releases its formula slot.
    void ClearValue(Cell& cell);

private:
    friend class PendingFormulaRows;
    void SettleFormulas()
    {
        if (pendingRows && !pendingRows->Empty()) {
            pendingRows->Settle();
        }
    }
    void FollowRows(const std::vector<RowMap>& bySheet);

    std::vector<std::unique_ptr<FormulaCell>> formulas;
    std::vector<uint32_t> freeFormulas;
    std::vector<std::string> texts;
    std::vector<CellExtra> extras;
    void ReadRangeLists();
    std::vector<RangeList> rangeLists;
    SheetHyperlinks hyperlinks;
    bool rangeListsRead = false;
    std::vector<CommentAnchor> commentAnchors;
    bool commentsRead = false;
    bool commentsAdded = false;
};

}  // namespace office::spreadsheet
