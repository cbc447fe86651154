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

const char* TypeAttribute(const Cell& cell)
{
    switch (cell.type) {
    case Cell::Type::SharedString: return " t=\"s\"";
    case Cell::Type::Boolean: return " t=\"b\"";
    case Cell::Type::Error: return " t=\"e\"";
    default: return "";
    }
}

// Written straight into the sheet's text: a cell's attributes, then its body.
void WriteCell(std::string& out, Sheet& sheet, std::string_view rowText, const Cell& cell, const Tags& tags)
{
    out += tags.cell;
    AppendColumn(out, cell.column);
    out += rowText;
    out += '"';
    if (cell.style != 0) {
        out += " s=\"";
        AppendInt(out, cell.style);
        out += '"';
    }
    FormulaCell* formula = cell.type == Cell::Type::Formula ? &sheet.FormulaAt(cell.index) : nullptr;
    if (formula && !formula->cachedType.empty() && !formula->cachedValue.empty()) {
        out += " t=\"";
        out += formula->cachedType;
        out += '"';
    } else {
        out += TypeAttribute(cell);
    }
    const CellExtra* extra = cell.extra ? &sheet.ExtraAt(cell.extra) : nullptr;
    if (extra) {
        out += extra->attributes;
    }
    bool noValue = cell.type == Cell::Type::Blank || (cell.type == Cell::Type::Raw && sheet.TextAt(cell.index).empty());
    if (noValue && (!extra || extra->children.empty())) {
        out += "/>";
        return;
    }
    out += '>';
    switch (cell.type) {
    case Cell::Type::Blank:
        break;
    case Cell::Type::Number:
        out += tags.value;
        AppendNumber(out, cell.number);
        out += tags.valueEnd;
        break;
    case Cell::Type::SharedString:
        out += tags.value;
        AppendInt(out, cell.index);
        out += tags.valueEnd;
        break;
    case Cell::Type::Boolean:
        out += tags.value;
        out += cell.number != 0 ? '1' : '0';
        out += tags.valueEnd;
        break;
    case Cell::Type::Error:
        out += tags.value;
        AppendEscaped(out, sheet.TextAt(cell.index));
        out += tags.valueEnd;
        break;
    case Cell::Type::Raw:
        out += sheet.TextAt(cell.index);
        break;
    case Cell::Type::Formula:
        out += tags.formula;
        if (formula->array) {
            out += " t=\"array\" ref=\"";
            out += FormatRect(formula->arrayRect);
            out += '"';
        }
        out += formula->attributes;
        out += '>';
        AppendEscaped(out, formula->formula.Text());
        out += tags.formulaEnd;
        if (!formula->cachedValue.empty()) {
            out += tags.value;
            AppendEscaped(out, formula->cachedValue);
            out += tags.valueEnd;
        }
        break;
    }
    if (extra) {
        out += extra->children;
    }
    out += tags.cellEnd;
}

struct SheetExtent {
    CellRect used{1, 1, 1, 1};
    size_t cells = 0;
};

SheetExtent MeasureCells(const Sheet& sheet)
{
    SheetExtent extent;
    sheet.rows.ForEach([&](int32_t rowNumber, const Row& row) {
        if (row.cells.empty()) {
            return;
        }
        if (extent.cells == 0) {
            extent.used = CellRect{rowNumber, row.cells.front().column, rowNumber, row.cells.back().column};
        }
        extent.used.bottom = rowNumber;
        extent.used.left = std::min(extent.used.left, row.cells.front().column);
        extent.used.right = std::max(extent.used.right, row.cells.back().column);
        extent.cells += row.cells.size();
    });
    return extent;
}

// Rows go out in pieces of about this size, so the sheet's text is never held whole.
constexpr size_t kPiece = 64 * 1024;

void WriteSheetData(Sheet& sheet, std::string& out, const PartSink& sink)
{
    const Tags tags(SpreadsheetName(sheet.document.document_element(), ""));
    sheet.rows.ForEach([&](int32_t rowNumber, const Row& row) {
        if (row.Empty()) {
            return;
        }
        // Every cell of the row repeats its number.
        char rowDigits[12];
        const char* rowEnd = std::to_chars(rowDigits, rowDigits + sizeof rowDigits, rowNumber).ptr;
        const std::string_view rowText(rowDigits, size_t(rowEnd - rowDigits));
        out += tags.row;
        out += rowText;
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
        } else {
            out += '>';
            for (const Cell& cell : row.cells) {
                WriteCell(out, sheet, rowText, cell, tags);
            }
            out += tags.rowEnd;
        }
        if (out.size() >= kPiece) {
            sink(out);
            out.clear();
        }
    });
}

void WriteMerges(Sheet& sheet, pugi::xml_node root)
{
    pugi::xml_node mergeCells = ChildNamed(root, "mergeCells");
    if (sheet.merges.Empty()) {
        if (mergeCells) {
            RemoveSubtree(mergeCells);
        }
        return;
    }
    if (!mergeCells) {
        mergeCells = InsertWorksheetChild(root, "mergeCells");
    }
    while (mergeCells.first_child()) {
        RemoveSubtree(mergeCells.first_child());
    }
    std::string name = SpreadsheetName(root, "mergeCell");
    std::vector<CellRect> merges = sheet.merges.All();
    for (const CellRect& rect : merges) {
        mergeCells.append_child(name.c_str()).append_attribute("ref").set_value(FormatRect(rect).c_str());
    }
    pugi::xml_attribute count = mergeCells.attribute("count");
    if (!count) {
        count = mergeCells.append_attribute("count");
    }
    count.set_value(std::to_string(merges.size()).c_str());
}

}  // namespace

pugi::xml_node InsertWorksheetChild(pugi::xml_node root, std::string_view localName)
{
    return InsertOrderedChild(root, localName, kWorksheetOrder);
}

void WriteSheet(Sheet& sheet, const PartSink& sink)
{
    sheet.WriteRangeLists();
    pugi::xml_node root = sheet.document.document_element();
    SheetExtent extent = MeasureCells(sheet);
    pugi::xml_node dimension = ChildNamed(root, "dimension");
    if (!dimension) {
        dimension = InsertWorksheetChild(root, "dimension");
    }
    pugi::xml_attribute ref = dimension.attribute("ref");
    if (!ref) {
        ref = dimension.append_attribute("ref");
    }
    ref.set_value(FormatRect(extent.used).c_str());
    WriteMerges(sheet, root);
    pugi::xml_node sheetData = ChildNamed(root, "sheetData");
    sheetData.append_child(pugi::node_pcdata).set_value(kPlaceholder);
    std::string xml = SerializeXml(sheet.document);
    RemoveSubtree(sheetData.first_child());
    std::string marker = ">" + std::string(kPlaceholder) + "</" + sheetData.name() + ">";
    size_t at = xml.find(marker);
    std::string out;
    out.reserve(kPiece + 4096);
    out.append(xml, 0, at + 1);
    WriteSheetData(sheet, out, sink);
    out.append(xml, at + 1 + sizeof kPlaceholder - 1);
    sink(out);
}

std::string WriteSheet(Sheet& sheet)
{
    std::string whole;
    WriteSheet(sheet, [&](std::string_view piece) { whole += piece; });
    return whole;
}

}  // namespace office::spreadsheet
