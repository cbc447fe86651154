#include "office/spreadsheet/Sheet.h"

#include <algorithm>
#include <cstdlib>

#include "office/spreadsheet/XmlNodes.h"

namespace office::spreadsheet {

void PendingFormulaRows::Insert(int32_t sheet, int32_t at, int32_t count)
{
    if (bySheet.size() <= size_t(sheet)) {
        bySheet.resize(size_t(sheet) + 1);
    }
    bySheet[size_t(sheet)].Insert(at, count);
    pending = true;
    for (const auto& each : sheets) {
        each->pendingRows = this;
    }
}

void PendingFormulaRows::Settle()
{
    if (!pending) {
        return;
    }
    pending = false;
    for (const auto& sheet : sheets) {
        sheet->FollowRows(bySheet);
    }
    bySheet.clear();
}

void Sheet::FollowRows(const std::vector<RowMap>& bySheet)
{
    const RowMap* own = size_t(index) < bySheet.size() && !bySheet[size_t(index)].Empty() ? &bySheet[size_t(index)]
                                                                                         : nullptr;
    bool moved = false;
    for (auto& formula : formulas) {
        if (!formula) {
            continue;
        }
        bool changed = false;
        for (size_t sheet = 0; sheet < bySheet.size(); ++sheet) {
            if (!bySheet[sheet].Empty()) {
                changed |= formula->formula.MoveRows(int32_t(sheet), bySheet[sheet]);
            }
        }
        if (formula->array && own) {
            CellRect& rect = formula->arrayRect;
            int32_t top = rect.top;
            rect.top = int32_t(std::min<int64_t>((*own)(rect.top), kMaxRow));
            rect.bottom = int32_t(std::min<int64_t>((*own)(rect.bottom), kMaxRow));
            changed = changed || top != rect.top;
        }
        if (changed) {
            formula->cachedValue.clear();
            moved = true;
        }
    }
    changed |= moved;
}

uint32_t Sheet::AddFormula(FormulaCell formula)
{
    SettleFormulas();
    auto owned = std::make_unique<FormulaCell>(std::move(formula));
    if (!freeFormulas.empty()) {
        uint32_t slot = freeFormulas.back();
        freeFormulas.pop_back();
        formulas[slot] = std::move(owned);
        return slot;
    }
    formulas.push_back(std::move(owned));
    return uint32_t(formulas.size() - 1);
}

void Sheet::RemoveFormula(uint32_t slot)
{
    formulas[slot].reset();
    freeFormulas.push_back(slot);
}

uint32_t Sheet::AddText(std::string text)
{
    texts.push_back(std::move(text));
    return uint32_t(texts.size() - 1);
}

uint32_t Sheet::AddExtra(CellExtra extra)
{
    extras.push_back(std::move(extra));
    return uint32_t(extras.size());
}

uint32_t Sheet::DefaultStyle(int32_t row, int32_t column) const
{
    if (const Row* found = rows.Find(row)) {
        const std::string* custom = found->Attribute("customFormat");
        const std::string* style = found->Attribute("s");
        if (custom && style && (*custom == "1" || *custom == "true")) {
            return uint32_t(std::strtoul(style->c_str(), nullptr, 10));
        }
    }
    for (const ColumnStyle& columns : columnStyles) {
        if (column >= columns.min && column <= columns.max) {
            return columns.style;
        }
    }
    return 0;
}

void Sheet::WriteSelection()
{
    if (!selectionChanged) {
        return;
    }
    selectionChanged = false;
    pugi::xml_node root = document.document_element();
    pugi::xml_node view = ChildNamed(ChildNamed(root, "sheetViews"), "sheetView");
    if (!view || ChildNamed(view, "pane")) {
        return;
    }
    pugi::xml_node selected = ChildNamed(view, "selection");
    if (!selected) {
        selected = view.prepend_child(SpreadsheetName(root, "selection").c_str());
    }
    auto set = [&](const char* name, const std::string& value) {
        (selected.attribute(name) ? selected.attribute(name) : selected.append_attribute(name)).set_value(value.c_str());
    };
    set("activeCell", FormatCell(activeCell.row, activeCell.column));
    set("sqref", FormatRect(selection));
    changed = true;
}

std::vector<RangeList>& Sheet::RangeLists()
{
    ReadRangeLists();
    return rangeLists;
}

SheetHyperlinks& Sheet::Hyperlinks()
{
    ReadRangeLists();
    return hyperlinks;
}

void Sheet::ReadRangeLists()
{
    if (rangeListsRead) {
        return;
    }
    rangeListsRead = true;
    auto add = [&](pugi::xml_node owner, const char* name) {
        if (pugi::xml_attribute attribute = owner.attribute(name)) {
            rangeLists.push_back(RangeList{owner, attribute, ParseRectList(attribute.value())});
        }
    };
    pugi::xml_node root = document.document_element();
    for (pugi::xml_node child = root.first_child(); child; child = child.next_sibling()) {
        std::string_view name = LocalName(child);
        if (name == "conditionalFormatting") {
            add(child, "sqref");
        } else if (name == "dataValidations") {
            for (pugi::xml_node rule = ChildNamed(child, "dataValidation"); rule; rule = NextNamed(rule, "dataValidation")) {
                add(rule, "sqref");
            }
        } else if (name == "hyperlinks") {
            for (pugi::xml_node link = ChildNamed(child, "hyperlink"); link; link = NextNamed(link, "hyperlink")) {
                std::vector<CellRect> rects = ParseRectList(link.attribute("ref").value());
                if (rects.size() == 1) {
                    hyperlinks.Add(link, rects[0]);
                } else {
                    add(link, "ref");
                }
            }
        }
    }
}

void Sheet::WriteRangeLists()
{
    hyperlinks.Write();
    for (RangeList& list : rangeLists) {
        std::string text = FormatRectList(list.rects);
        if (text != list.attribute.value()) {
            list.attribute.set_value(text.c_str());
        }
    }
}

void Sheet::ClearValue(Cell& cell)
{
    if (cell.type == Cell::Type::Formula) {
        RemoveFormula(cell.index);
    }
    if (cell.type == Cell::Type::Raw && cell.extra) {
        // A kept value brings its type attribute first; the new value writes its own.
        CellExtra rest = ExtraAt(cell.extra);
        if (rest.attributes.rfind(" t=\"", 0) == 0) {
            rest.attributes.erase(0, rest.attributes.find('"', 4) + 1);
        }
        cell.extra = rest.attributes.empty() && rest.children.empty() ? 0 : AddExtra(std::move(rest));
    }
    cell.type = Cell::Type::Blank;
    cell.number = 0;
}

}  // namespace office::spreadsheet
