#include "office/spreadsheet/SheetWriter.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "office/package/Xml.h"
#include "office/spreadsheet/XmlNodes.h"

namespace office::spreadsheet {
namespace {

constexpr std::array<std::string_view, 39> kWorksheetOrder = {
    "sheetPr",        "dimension",        "sheetViews",      "sheetFormatPr", "cols",          "sheetData",
    "sheetCalcPr",    "sheetProtection",  "protectedRanges", "scenarios",     "autoFilter",    "sortState",
    "dataConsolidate", "customSheetViews", "mergeCells",     "phoneticPr",    "conditionalFormatting",
    "dataValidations", "hyperlinks",      "printOptions",    "pageMargins",   "pageSetup",     "headerFooter",
    "rowBreaks",      "colBreaks",        "customProperties", "cellWatches",  "ignoredErrors", "smartTags",
    "drawing",        "legacyDrawing",    "legacyDrawingHF", "drawingHF",     "picture",       "oleObjects",
    "controls",       "webPublishItems",  "tableParts",      "extLst"};

constexpr char kPlaceholder[] = "@@sheet-data@@";

void AppendNumber(std::string& out, double value)
{
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void AppendInt(std::string& out, int64_t value)
{
    char buffer[24];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void AppendColumn(std::string& out, int32_t column)
{
    char letters[4];
    int n = 0;
    while (column > 0) {
        letters[n++] = char('A' + (column - 1) % 26);
        column = (column - 1) / 26;
    }
    while (n > 0) {
        out += letters[--n];
    }
}

// Element names with the prefix the part binds to the SpreadsheetML namespace (usually none).
struct Tags {
    explicit Tags(const std::string& prefix)
        : row("<" + prefix + "row r=\""), rowEnd("</" + prefix + "row>"), cell("<" + prefix + "c r=\""),
          cellEnd("</" + prefix + "c>"), value("<" + prefix + "v>"), valueEnd("</" + prefix + "v>"),
          formula("<" + prefix + "f"), formulaEnd("</" + prefix + "f>")
    {
    }
    std::string row, rowEnd, cell, cellEnd, value, valueEnd, formula, formulaEnd;
};

void WriteCell(std::string& out, Sheet& sheet, int32_t rowNumber, const Cell& cell, const Tags& tags)
{
    out += tags.cell;
    AppendColumn(out, cell.column);
    AppendInt(out, rowNumber);
    out += '"';
    if (cell.style != 0) {
        out += " s=\"";
        AppendInt(out, cell.style);
        out += '"';
    }
    const CellExtra* extra = cell.extra ? &sheet.ExtraAt(cell.extra) : nullptr;
    std::string body;
    switch (cell.type) {
    case Cell::Type::Blank:
        break;
    case Cell::Type::Number:
        body = tags.value;
        AppendNumber(body, cell.number);
        body += tags.valueEnd;
        break;
    case Cell::Type::SharedString:
        out += " t=\"s\"";
        body = tags.value;
        AppendInt(body, cell.index);
        body += tags.valueEnd;
        break;
    case Cell::Type::Boolean:
        out += " t=\"b\"";
        body = tags.value + (cell.number != 0 ? "1" : "0") + tags.valueEnd;
        break;
    case Cell::Type::Error:
        out += " t=\"e\"";
        body = tags.value;
        AppendEscaped(body, sheet.TextAt(cell.index));
        body += tags.valueEnd;
        break;
    case Cell::Type::Raw:
        body = sheet.TextAt(cell.index);
        break;
    case Cell::Type::Formula: {
        FormulaCell& formula = sheet.FormulaAt(cell.index);
        if (!formula.cachedType.empty() && !formula.cachedValue.empty()) {
            out += " t=\"";
            out += formula.cachedType;
            out += '"';
        }
        body = tags.formula;
        if (formula.array) {
            body += " t=\"array\" ref=\"";
            body += FormatRect(formula.arrayRect);
            body += '"';
        }
        body += formula.attributes;
        body += '>';
        AppendEscaped(body, formula.formula.Text());
        body += tags.formulaEnd;
        if (!formula.cachedValue.empty()) {
            body += tags.value;
            AppendEscaped(body, formula.cachedValue);
            body += tags.valueEnd;
        }
        break;
    }
    }
    if (extra) {
        out += extra->attributes;
        body += extra->children;
    }
    if (body.empty()) {
        out += "/>";
        return;
    }
    out += '>';
    out += body;
    out += tags.cellEnd;
}

std::string SheetDataXml(Sheet& sheet, CellRect& used, bool& any)
{
    const Tags tags(SpreadsheetName(sheet.document.document_element(), ""));
    std::string out;
    out.reserve(size_t(sheet.rows.Size()) * 64);
    sheet.rows.ForEach([&](int32_t rowNumber, const Row& row) {
        if (row.Empty()) {
            return;
        }
        out += tags.row;
        AppendInt(out, rowNumber);
        out += '"';
        if (row.attributes) {
            for (const auto& [name, value] : *row.attributes) {
                out += ' ';
                out += name;
                out += "=\"";
                AppendEscaped(out, value);
                out += '"';
            }
        }
        if (row.cells.empty()) {
            out += "/>";
            return;
        }
        out += '>';
        for (const Cell& cell : row.cells) {
            WriteCell(out, sheet, rowNumber, cell, tags);
            if (!any) {
                used = CellRect{rowNumber, cell.column, rowNumber, cell.column};
                any = true;
            } else {
                used.bottom = rowNumber;
                used.left = std::min(used.left, cell.column);
                used.right = std::max(used.right, cell.column);
            }
        }
        out += tags.rowEnd;
    });
    return out;
}

void WriteMerges(Sheet& sheet, pugi::xml_node root)
{
    pugi::xml_node mergeCells = ChildNamed(root, "mergeCells");
    if (sheet.merges.empty()) {
        if (mergeCells) {
            root.remove_child(mergeCells);
        }
        return;
    }
    if (!mergeCells) {
        mergeCells = InsertWorksheetChild(root, "mergeCells");
    }
    while (mergeCells.first_child()) {
        mergeCells.remove_child(mergeCells.first_child());
    }
    std::string name = SpreadsheetName(root, "mergeCell");
    for (const CellRect& rect : sheet.merges) {
        mergeCells.append_child(name.c_str()).append_attribute("ref").set_value(FormatRect(rect).c_str());
    }
    pugi::xml_attribute count = mergeCells.attribute("count");
    if (!count) {
        count = mergeCells.append_attribute("count");
    }
    count.set_value(std::to_string(sheet.merges.size()).c_str());
}

}  // namespace

pugi::xml_node InsertWorksheetChild(pugi::xml_node root, std::string_view localName)
{
    return InsertOrderedChild(root, localName, kWorksheetOrder);
}

std::string WriteSheet(Sheet& sheet)
{
    sheet.WriteRangeLists();
    pugi::xml_node root = sheet.document.document_element();
    CellRect used{1, 1, 1, 1};
    bool any = false;
    std::string cells = SheetDataXml(sheet, used, any);
    pugi::xml_node dimension = ChildNamed(root, "dimension");
    if (!dimension) {
        dimension = InsertWorksheetChild(root, "dimension");
    }
    pugi::xml_attribute ref = dimension.attribute("ref");
    if (!ref) {
        ref = dimension.append_attribute("ref");
    }
    ref.set_value(FormatRect(used).c_str());
    WriteMerges(sheet, root);
    pugi::xml_node sheetData = ChildNamed(root, "sheetData");
    sheetData.append_child(pugi::node_pcdata).set_value(kPlaceholder);
    std::string xml = SerializeXml(sheet.document);
    sheetData.remove_child(sheetData.first_child());
    std::string marker = ">" + std::string(kPlaceholder) + "</" + sheetData.name() + ">";
    size_t at = xml.find(marker);
    std::string result;
    result.reserve(xml.size() + cells.size());
    result.append(xml, 0, at + 1);
    result += cells;
    result.append(xml, at + 1 + sizeof kPlaceholder - 1);
    return result;
}

}  // namespace office::spreadsheet
