#include "office/spreadsheet/SheetReader.h"

#include <charconv>
#include <cstring>
#include <map>

#include "office/package/PackageError.h"
#include "office/package/Xml.h"
#include "office/spreadsheet/XmlNodes.h"

namespace office::spreadsheet {
namespace {

struct SharedFormulaUse {
    int32_t row;
    int32_t column;
    uint32_t slot;
    int si;
};

struct SharedMaster {
    int32_t row;
    int32_t column;
    uint32_t slot;
};

std::string AttributeText(const pugi::xml_attribute& attribute)
{
    std::string text = " ";
    text += attribute.name();
    text += "=\"";
    AppendEscaped(text, attribute.value());
    text += '"';
    return text;
}

// The dimension must describe a rectangle the sheet can hold.
void CheckDimension(const pugi::xml_node& root, const std::string& what)
{
    pugi::xml_node dimension = ChildNamed(root, "dimension");
    if (!dimension) {
        return;
    }
    std::string_view ref = dimension.attribute("ref").value();
    for (std::string_view part : {ref.substr(0, ref.find(':')),
                                  ref.find(':') == std::string_view::npos ? std::string_view() : ref.substr(ref.find(':') + 1)}) {
        if (part.empty()) {
            continue;
        }
        if (!ParseCell(part)) {
            throw PackageError(what + " claims the dimension '" + std::string(ref) +
                               "', beyond the 1,048,576 rows and 16,384 columns a sheet can hold");
        }
    }
}

bool IsBlank(std::string_view text)
{
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

uint32_t ReadStringIndex(std::string_view text, const SharedStrings& strings, const std::string& what)
{
    uint64_t index = 0;
    auto result = std::from_chars(text.data(), text.data() + text.size(), index);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) {
        throw PackageError(what + " holds '" + std::string(text) + "' where a shared string number belongs");
    }
    if (index >= strings.Count()) {
        throw PackageError(what + " refers to shared string " + std::string(text) + ", which does not exist");
    }
    return uint32_t(index);
}

double ReadNumber(std::string_view text, const std::string& what)
{
    double number = 0;
    auto result = std::from_chars(text.data(), text.data() + text.size(), number);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) {
        throw PackageError(what + " holds '" + std::string(text) + "' where a number belongs");
    }
    return number;
}

}  // namespace

void ReadSheet(Sheet& sheet, std::string_view xml, const std::string& what, const SheetResolver& resolve,
               SharedStrings& strings)
{
    ParseXml(sheet.document, xml, what);
    pugi::xml_node root = sheet.document.document_element();
    CheckDimension(root, what);
    if (pugi::xml_node properties = ChildNamed(root, "sheetPr")) {
        sheet.codeName = properties.attribute("codeName").value();
    }
    if (pugi::xml_node views = ChildNamed(root, "sheetViews")) {
        if (pugi::xml_node view = ChildNamed(views, "sheetView")) {
            if (pugi::xml_node selection = ChildNamed(view, "selection")) {
                if (auto active = ParseCell(selection.attribute("activeCell").value())) {
                    sheet.activeCell = *active;
                }
                auto rects = ParseRectList(selection.attribute("sqref").value());
                sheet.selection = rects.empty() ? CellRect{sheet.activeCell.row, sheet.activeCell.column,
                                                           sheet.activeCell.row, sheet.activeCell.column}
                                                : rects.front();
            } else {
                sheet.selection = CellRect{1, 1, 1, 1};
            }
        }
    }
    if (pugi::xml_node cols = ChildNamed(root, "cols")) {
        for (pugi::xml_node col = ChildNamed(cols, "col"); col; col = NextNamed(col, "col")) {
            if (col.attribute("style")) {
                sheet.columnStyles.push_back(ColumnStyle{col.attribute("min").as_int(1), col.attribute("max").as_int(1),
                                                         col.attribute("style").as_uint(0)});
            }
        }
    }
    pugi::xml_node sheetData = ChildNamed(root, "sheetData");
    if (!sheetData) {
        throw PackageError(what + " has no sheetData");
    }
    std::map<int, SharedMaster> masters;
    std::vector<SharedFormulaUse> uses;
    int32_t rowNumber = 0;
    for (pugi::xml_node rowNode = ChildNamed(sheetData, "row"); rowNode; rowNode = NextNamed(rowNode, "row")) {
        int64_t r = rowNode.attribute("r").as_llong(rowNumber + 1);
        if (r <= rowNumber || r > kMaxRow) {
            throw PackageError(what + " has a row numbered " + std::to_string(r) + ", out of order or beyond row " +
                               std::to_string(kMaxRow));
        }
        rowNumber = int32_t(r);
        Row& row = sheet.rows.Get(rowNumber);
        for (pugi::xml_attribute attribute = rowNode.first_attribute(); attribute; attribute = attribute.next_attribute()) {
            std::string_view name = attribute.name();
            if (name != "r" && name != "spans") {
                row.SetAttribute(name, attribute.value());
            }
        }
        int32_t column = 0;
        for (pugi::xml_node cellNode = ChildNamed(rowNode, "c"); cellNode; cellNode = NextNamed(cellNode, "c")) {
            const char* ref = cellNode.attribute("r").value();
            if (*ref) {
                auto address = ParseCell(ref);
                if (!address || address->row != rowNumber) {
                    throw PackageError(what + " has a cell '" + std::string(ref) + "' that does not fit row " +
                                       std::to_string(rowNumber) + " of the sheet");
                }
                column = address->column;
            } else if (++column > kMaxColumn) {
                throw PackageError(what + " has more than 16,384 cells in row " + std::to_string(rowNumber));
            }
            Cell& cell = row.Get(column);
            cell.style = cellNode.attribute("s").as_uint(0);
            std::string_view type = cellNode.attribute("t").value();
            CellExtra extra;
            for (pugi::xml_attribute attribute = cellNode.first_attribute(); attribute;
                 attribute = attribute.next_attribute()) {
                std::string_view name = attribute.name();
                if (name != "r" && name != "s" && name != "t") {
                    extra.attributes += AttributeText(attribute);
                }
            }
            pugi::xml_node valueNode;
            pugi::xml_node formulaNode;
            pugi::xml_node inlineNode;
            for (pugi::xml_node child = cellNode.first_child(); child; child = child.next_sibling()) {
                if (child.type() != pugi::node_element) {
                    continue;
                }
                std::string_view name = LocalName(child);
                if (name == "v") {
                    valueNode = child;
                } else if (name == "f") {
                    formulaNode = child;
                } else if (name == "is") {
                    inlineNode = child;
                } else {
                    pugi::xml_document holder;
                    holder.append_copy(child);
                    extra.children += InnerXml(holder);
                }
            }
            const char* value = valueNode ? valueNode.text().get() : "";
            // A value element without text is no value: the cell is empty, whatever its type.
            const bool hasValue = !IsBlank(value);
            if (formulaNode) {
                FormulaCell formula;
                std::string_view formulaType = formulaNode.attribute("t").value();
                for (pugi::xml_attribute attribute = formulaNode.first_attribute(); attribute;
                     attribute = attribute.next_attribute()) {
                    std::string_view name = attribute.name();
                    if (name == "t" || name == "ref" || name == "si") {
                        continue;
                    }
                    formula.attributes += AttributeText(attribute);
                }
                if (formulaType == "array") {
                    formula.array = true;
                    if (auto rect = ParseRect(formulaNode.attribute("ref").value())) {
                        formula.arrayRect = *rect;
                    } else {
                        formula.arrayRect = CellRect{rowNumber, column, rowNumber, column};
                    }
                } else if (formulaType == "dataTable") {
                    formula.attributes += AttributeText(formulaNode.attribute("t"));
                    if (formulaNode.attribute("ref")) {
                        formula.attributes += AttributeText(formulaNode.attribute("ref"));
                    }
                }
                formula.formula = Formula::Parse(formulaNode.text().get(), sheet.index, resolve);
                formula.cachedType = std::string(type);
                formula.cachedValue = value;
                uint32_t slot = sheet.AddFormula(std::move(formula));
                cell.type = Cell::Type::Formula;
                cell.index = slot;
                if (formulaType == "shared") {
                    int si = formulaNode.attribute("si").as_int(-1);
                    if (formulaNode.attribute("ref") && *formulaNode.text().get()) {
                        masters[si] = SharedMaster{rowNumber, column, slot};
                    } else {
                        uses.push_back(SharedFormulaUse{rowNumber, column, slot, si});
                    }
                }
            } else if (type == "inlineStr" || (inlineNode && type.empty())) {
                if (inlineNode) {
                    cell.type = Cell::Type::SharedString;
                    cell.index = strings.AddInline(inlineNode);
                }
            } else if (hasValue) {
                if (type == "s") {
                    cell.type = Cell::Type::SharedString;
                    cell.index = ReadStringIndex(value, strings, what);
                } else if (type == "b") {
                    cell.type = Cell::Type::Boolean;
                    cell.number = std::strcmp(value, "1") == 0 || std::strcmp(value, "true") == 0 ? 1 : 0;
                } else if (type == "e") {
                    cell.type = Cell::Type::Error;
                    cell.index = sheet.AddText(value);
                } else if (type.empty() || type == "n") {
                    cell.type = Cell::Type::Number;
                    cell.number = ReadNumber(value, what);
                } else {
                    cell.type = Cell::Type::Raw;
                    extra.attributes = " t=\"" + std::string(type) + "\"" + extra.attributes;
                    pugi::xml_document holder;
                    for (pugi::xml_node child = cellNode.first_child(); child; child = child.next_sibling()) {
                        holder.append_copy(child);
                    }
                    cell.index = sheet.AddText(InnerXml(holder));
                    extra.children.clear();
                }
            }
            if (!extra.attributes.empty() || !extra.children.empty()) {
                cell.extra = sheet.AddExtra(std::move(extra));
            }
        }
    }
    for (const SharedFormulaUse& use : uses) {
        auto master = masters.find(use.si);
        if (master == masters.end()) {
            throw PackageError(what + " uses shared formula " + std::to_string(use.si) + ", which is not defined");
        }
        FormulaCell& target = sheet.FormulaAt(use.slot);
        target.formula = sheet.FormulaAt(master->second.slot).formula;
        target.formula.Rebase(use.row - master->second.row, use.column - master->second.column);
    }
    while (sheetData.first_child()) {
        RemoveSubtree(sheetData.first_child());
    }
    if (pugi::xml_node mergeCells = ChildNamed(root, "mergeCells")) {
        for (pugi::xml_node merge = ChildNamed(mergeCells, "mergeCell"); merge; merge = NextNamed(merge, "mergeCell")) {
            if (auto rect = ParseRect(merge.attribute("ref").value())) {
                sheet.merges.Add(*rect);
            }
        }
    }
}

}  // namespace office::spreadsheet
