#include "office/spreadsheet/RowInsertion.h"

#include <algorithm>
#include <cstdlib>

#include "office/dispatch/AutomationError.h"
#include "office/package/Xml.h"
#include "office/spreadsheet/ReferencePlaces.h"
#include "office/spreadsheet/XmlNodes.h"

namespace office::spreadsheet {
namespace {

// Rewrites a formula held as element text when an insertion changes it;
// unprefixed references in it point at `hostSheet`.
bool ShiftFormulaText(pugi::xml_node node, int32_t hostSheet, int32_t sheetIndex, int32_t at, int32_t count,
                      const SheetResolver& resolve)
{
    Formula formula = Formula::Parse(node.text().get(), hostSheet, resolve);
    if (!formula.InsertRows(sheetIndex, at, count)) {
        return false;
    }
    node.text().set(formula.Text().c_str());
    return true;
}

bool ShiftRectsAttribute(pugi::xml_attribute attribute, int32_t at, int32_t count)
{
    if (!attribute) {
        return false;
    }
    std::string text = ShiftRectListText(attribute.value(), at, count);
    if (text == attribute.value()) {
        return false;
    }
    attribute.set_value(text.c_str());
    return true;
}

// The first comment at or below `row`; comments are sorted by row.
std::vector<CommentAnchor>::iterator FirstCommentFrom(std::vector<CommentAnchor>& comments, int32_t row)
{
    return std::lower_bound(comments.begin(), comments.end(), row,
                            [](const CommentAnchor& anchor, int32_t value) { return anchor.row < value; });
}

void ShiftComments(Sheet& sheet, int32_t at, int32_t count)
{
    std::vector<CommentAnchor>& comments = sheet.Comments();
    for (auto anchor = FirstCommentFrom(comments, at); anchor != comments.end(); ++anchor) {
        anchor->row += count;
    }
}

// A pivot table's source range on the sheet grows or moves; the table is
// refreshed when the file is opened.
void ShiftPivotSources(Workbook& workbook, const Sheet& sheet, int32_t at, int32_t count)
{
    for (SheetPart& cache : workbook.pivotCaches) {
        pugi::xml_node root = cache.document->document_element();
        pugi::xml_node source = ChildNamed(ChildNamed(root, "cacheSource"), "worksheetSource");
        if (!source || workbook.SheetIndex(source.attribute("sheet").value()) != sheet.index ||
            !ShiftRectsAttribute(source.attribute("ref"), at, count)) {
            continue;
        }
        pugi::xml_attribute refresh = root.attribute("refreshOnLoad");
        (refresh ? refresh : root.append_attribute("refreshOnLoad")).set_value("1");
        cache.changed = true;
    }
}

bool HoldsContent(const Cell& cell)
{
    return cell.type != Cell::Type::Blank || cell.extra != 0;
}

// The lowest row at or below `at` that holds something that moves with
// inserted rows: a cell with content, a comment, a merge, a range or any place
// of the sheet's parts. Empty cells that only carry a format do not count;
// they fall off the end like empty rows do.
int32_t LowestRowMoved(Sheet& sheet, int32_t at)
{
    int32_t lowest = 0;
    for (int32_t row = sheet.rows.Size(); row >= at; --row) {
        const Row* found = sheet.rows.Find(row);
        if (std::any_of(found->cells.begin(), found->cells.end(), HoldsContent)) {
            lowest = row;
            break;
        }
    }
    auto consider = [&](int32_t row) {
        if (row >= at) {
            lowest = std::max(lowest, row);
        }
    };
    if (!sheet.Comments().empty()) {
        consider(sheet.Comments().back().row);
    }
    consider(sheet.merges.LowestTop());
    consider(sheet.Hyperlinks().LowestTop());
    for (const RangeList& list : sheet.RangeLists()) {
        for (const CellRect& rect : list.rects) {
            consider(rect.top);
        }
    }
    consider(LowestPlaceMoved(sheet, at));
    return lowest;
}

// Moves everything below `at` down by `count`.
void MakeRoom(Workbook& workbook, int32_t sheetIndex, int32_t at, int32_t count)
{
    Sheet& sheet = *workbook.sheets[size_t(sheetIndex)];
    if (at < 1 || at > kMaxRow || count < 1 || count > kMaxRow) {
        throw AutomationError("Cannot insert " + std::to_string(count) + " rows at row " + std::to_string(at) +
                              " of the sheet '" + sheet.name + "'");
    }
    int32_t lowest = LowestRowMoved(sheet, at);
    if (lowest != 0 && int64_t(lowest) + count > kMaxRow) {
        throw AutomationError("Cannot insert " + std::to_string(count) + " rows into the sheet '" + sheet.name +
                              "': cells or objects would be pushed off the end of the sheet");
    }
    sheet.rows.Insert(at, count);
    sheet.rows.DropAfter(kMaxRow);
    workbook.pendingRows.Insert(sheetIndex, at, count);
    SheetResolver resolve = workbook.Resolver();
    if (workbook.nameIndex.InsertRows(workbook.names, sheetIndex, at, count)) {
        workbook.NameReferencesChanged();
    }
    sheet.merges.InsertRows(at, count);
    sheet.Hyperlinks().InsertRows(at, count);
    for (RangeList& list : sheet.RangeLists()) {
        for (CellRect& rect : list.rects) {
            // Pieces cut off at the sheet's end may come to touch.
            list.joined = list.joined && rect.bottom <= kMaxRow - count;
            ShiftRowInterval(rect.top, rect.bottom, at, count);
        }
    }
    for (ChartPart& chart : workbook.charts) {
        for (pugi::xml_node formula : chart.formulas) {
            chart.part.changed |= ShiftFormulaText(formula, kSheetUnknown, sheetIndex, at, count, resolve);
        }
    }
    ShiftPivotSources(workbook, sheet, at, count);
    ShiftReferencePlaces(workbook, sheetIndex, at, count);
    ShiftComments(sheet, at, count);
    sheet.changed = true;
    workbook.CellsChanged();
}

struct CopiedRow {
    std::unique_ptr<RowAttributes> attributes;
    std::vector<Cell> cells;
    std::vector<FormulaCell> formulas;  // one per formula cell, in order
};

std::vector<CopiedRow> TakeRows(Sheet& source, int32_t top, int32_t bottom)
{
    std::vector<CopiedRow> copied;
    for (int32_t r = top; r <= bottom; ++r) {
        CopiedRow copy;
        if (const Row* row = source.rows.Find(r)) {
            if (row->attributes) {
                copy.attributes = std::make_unique<RowAttributes>(*row->attributes);
            }
            copy.cells = row->cells;
            for (const Cell& cell : row->cells) {
                if (cell.type == Cell::Type::Formula) {
                    copy.formulas.push_back(source.FormulaAt(cell.index));
                }
            }
        }
        copied.push_back(std::move(copy));
    }
    return copied;
}

// The source's merges that lie in its rows, as offsets from the block top.
std::vector<CellRect> MergesWithin(const RowRects& merges, int32_t top, int32_t bottom)
{
    std::vector<CellRect> inside = merges.Within(top, bottom);
    for (CellRect& rect : inside) {
        rect.top -= top;
        rect.bottom -= top;
    }
    return inside;
}

// Whether MergeRectList would join the two pieces: the same columns with rows
// that overlap or touch, or the same rows with columns that do.
bool WouldJoin(const CellRect& a, const CellRect& b)
{
    auto touch = [](int32_t firstA, int32_t lastA, int32_t firstB, int32_t lastB) {
        return int64_t(firstB) <= int64_t(lastA) + 1 && int64_t(firstA) <= int64_t(lastB) + 1;
    };
    return (a.left == b.left && a.right == b.right && touch(a.top, a.bottom, b.top, b.bottom)) ||
           (a.top == b.top && a.bottom == b.bottom && touch(a.left, a.right, b.left, b.right));
}

// Whether a few added pieces touch neither the list's pieces nor each other.
bool StandApart(const std::vector<CellRect>& rects, const std::vector<CellRect>& added)
{
    constexpr size_t kFew = 8;
    if (added.size() > kFew) {
        return false;
    }
    for (size_t i = 0; i < added.size(); ++i) {
        for (size_t j = 0; j < i; ++j) {
            if (WouldJoin(added[i], added[j])) {
                return false;
            }
        }
        for (const CellRect& rect : rects) {
            if (WouldJoin(added[i], rect)) {
                return false;
            }
        }
    }
    return true;
}

// Adds to a range list the parts of it that lie in the source rows, moved to
// every destination block, and merges pieces that overlap or touch. A report
// copies a heading's range once per group: those copies stand apart, and
// joining the whole list for each of them would cost the square of the groups.
void CopyRanges(RangeList& list, int32_t top, int32_t bottom, const std::vector<int32_t>& destinations)
{
    std::vector<CellRect> added;
    for (const CellRect& rect : list.rects) {
        int32_t overlapTop = std::max(rect.top, top);
        int32_t overlapBottom = std::min(rect.bottom, bottom);
        if (overlapTop > overlapBottom) {
            continue;
        }
        for (int32_t destination : destinations) {
            added.push_back(CellRect{destination + overlapTop - top, rect.left, destination + overlapBottom - top,
                                     rect.right});
        }
    }
    if (added.empty()) {
        return;
    }
    bool apart = list.joined && StandApart(list.rects, added);
    list.rects.insert(list.rects.end(), added.begin(), added.end());
    if (apart) {
        return;
    }
    list.rects = MergeRectList(std::move(list.rects));
    // A list that one more sweep leaves as it is has no pieces left to join.
    list.joined = MergeRectList(list.rects).size() == list.rects.size();
}

struct SourceExtras {
    std::vector<CommentAnchor> comments;
    std::vector<SheetHyperlinks::Link> hyperlinks;
};

SourceExtras FindExtras(Sheet& sheet, int32_t top, int32_t bottom)
{
    SourceExtras extras;
    std::vector<CommentAnchor>& comments = sheet.Comments();
    for (auto anchor = FirstCommentFrom(comments, top); anchor != comments.end() && anchor->row <= bottom; ++anchor) {
        extras.comments.push_back(*anchor);
    }
    extras.hyperlinks = sheet.Hyperlinks().Within(top, bottom);
    return extras;
}

void CopyExtras(Sheet& sheet, const SourceExtras& extras, int32_t sourceTop, const std::vector<int32_t>& destinations)
{
    for (int32_t destination : destinations) {
        int32_t rows = destination - sourceTop;
        for (const CommentAnchor& comment : extras.comments) {
            sheet.CopyComment(comment, comment.row + rows);
        }
        for (const SheetHyperlinks::Link& link : extras.hyperlinks) {
            pugi::xml_node copy = link.element.parent().append_copy(link.element);
            sheet.Hyperlinks().Add(copy, CellRect{link.rect.top + rows, link.rect.left, link.rect.bottom + rows,
                                                  link.rect.right});
        }
    }
}

}  // namespace

void InsertBlankRows(Workbook& workbook, int32_t sheetIndex, int32_t at, int32_t count)
{
    MakeRoom(workbook, sheetIndex, at, count);
    Sheet& sheet = *workbook.sheets[size_t(sheetIndex)];
    const Row* above = at > 1 ? sheet.rows.Find(at - 1) : nullptr;
    if (!above) {
        return;
    }
    RowAttributes formatting;
    for (const char* name : {"s", "customFormat", "ht", "customHeight"}) {
        if (const std::string* value = above->Attribute(name)) {
            formatting.emplace_back(name, *value);
        }
    }
    std::vector<Cell> styled;
    for (const Cell& cell : above->cells) {
        if (cell.style != 0) {
            Cell blank;
            blank.column = cell.column;
            blank.style = cell.style;
            styled.push_back(blank);
        }
    }
    if (formatting.empty() && styled.empty()) {
        return;
    }
    for (int32_t r = at; r < at + count; ++r) {
        Row& row = sheet.rows.Get(r);
        if (!formatting.empty()) {
            row.attributes = std::make_unique<RowAttributes>(formatting);
        }
        row.cells = styled;
    }
}

void InsertCopiedRows(Workbook& workbook, int32_t sheetIndex, int32_t at, const RowBlock& source, int32_t times)
{
    Sheet& sheet = *workbook.sheets[size_t(sheetIndex)];
    Sheet& from = *workbook.sheets[size_t(source.sheet)];
    int32_t height = source.bottom - source.top + 1;
    int64_t total = int64_t(height) * times;
    if (total > kMaxRow) {
        throw AutomationError("Cannot insert " + std::to_string(total) + " rows into the sheet '" + sheet.name + "'");
    }
    std::vector<CopiedRow> copied = TakeRows(from, source.top, source.bottom);
    std::vector<CellRect> merges = MergesWithin(from.merges, source.top, source.bottom);
    MakeRoom(workbook, sheetIndex, at, int32_t(total));
    int32_t sourceTop = source.top;
    if (source.sheet == sheetIndex) {
        sourceTop = ShiftRow(source.top, at, int32_t(total));
        for (CopiedRow& row : copied) {
            for (FormulaCell& formula : row.formulas) {
                formula.formula.InsertRows(sheetIndex, at, int32_t(total));
            }
        }
    }
    std::vector<int32_t> destinations;
    for (int32_t copy = 0; copy < times; ++copy) {
        destinations.push_back(at + copy * height);
    }
    for (int32_t destination : destinations) {
        for (int32_t offset = 0; offset < height; ++offset) {
            const CopiedRow& sourceRow = copied[size_t(offset)];
            Row& row = sheet.rows.Get(destination + offset);
            row.attributes = sourceRow.attributes ? std::make_unique<RowAttributes>(*sourceRow.attributes) : nullptr;
            row.cells.clear();
            row.cells.reserve(sourceRow.cells.size());
            size_t formulaIndex = 0;
            for (const Cell& cell : sourceRow.cells) {
                Cell copy = cell;
                if (cell.type == Cell::Type::Formula) {
                    FormulaCell formula = sourceRow.formulas[formulaIndex++];
                    if (source.sheet != sheetIndex) {
                        formula.formula.Rehost(source.sheet, sheetIndex);
                    }
                    formula.formula.Rebase(destination - sourceTop, 0);
                    if (formula.array) {
                        formula.arrayRect.top += destination - sourceTop;
                        formula.arrayRect.bottom += destination - sourceTop;
                    }
                    formula.cachedValue.clear();
                    copy.index = sheet.AddFormula(std::move(formula));
                } else if (source.sheet != sheetIndex &&
                           (cell.type == Cell::Type::Error || cell.type == Cell::Type::Raw)) {
                    copy.index = sheet.AddText(from.TextAt(cell.index));
                }
                if (source.sheet != sheetIndex && cell.extra) {
                    copy.extra = sheet.AddExtra(from.ExtraAt(cell.extra));
                }
                row.cells.push_back(copy);
            }
        }
        for (const CellRect& merge : merges) {
            sheet.merges.Add(CellRect{destination + merge.top, merge.left, destination + merge.bottom, merge.right});
        }
    }
    if (source.sheet == sheetIndex) {
        int32_t sourceBottom = sourceTop + height - 1;
        for (RangeList& list : sheet.RangeLists()) {
            if (LocalName(list.owner) != "hyperlink") {
                CopyRanges(list, sourceTop, sourceBottom, destinations);
            }
        }
        SourceExtras moved = FindExtras(sheet, sourceTop, sourceBottom);
        CopyExtras(sheet, moved, sourceTop, destinations);
    }
    sheet.changed = true;
    workbook.CellsChanged();
}

}  // namespace office::spreadsheet
