#include "office/spreadsheet/ReferencePlaces.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "office/spreadsheet/XmlNodes.h"

namespace office::spreadsheet {
namespace {

enum class PartKind : uint8_t { Worksheet, Table, PivotTable, ControlProperties, Drawing, Vml };

enum class Holds : uint8_t {
    Ranges,     // rectangles ("A1:B2 C3"); they belong to the part's sheet
    Formula,    // a formula; unqualified references are on the part's sheet
    BreakRow,   // a page break: the row below which the page breaks
    Anchor,     // an object anchored by <from><row> and <to><row>, 0-based
    VmlAnchor,  // a VML shape's <x:Anchor>: rows are its third and seventh numbers, 0-based
};

struct ReferencePlace {
    PartKind part;
    std::string_view path;       // local names below the root; "*" is any element
    std::string_view attribute;  // empty for the element's text
    Holds holds;
};

// Alternate content (mc:AlternateContent with its mc:Choice and mc:Fallback)
// is looked through on every step of a path.
constexpr std::array<ReferencePlace, 36> kPlaces = {{
    {PartKind::Worksheet, "conditionalFormatting/cfRule/formula", "", Holds::Formula},
    {PartKind::Worksheet, "dataValidations/dataValidation/formula1", "", Holds::Formula},
    {PartKind::Worksheet, "dataValidations/dataValidation/formula2", "", Holds::Formula},
    {PartKind::Worksheet, "autoFilter", "ref", Holds::Ranges},
    {PartKind::Worksheet, "autoFilter/sortState", "ref", Holds::Ranges},
    {PartKind::Worksheet, "autoFilter/sortState/sortCondition", "ref", Holds::Ranges},
    {PartKind::Worksheet, "sortState", "ref", Holds::Ranges},
    {PartKind::Worksheet, "sortState/sortCondition", "ref", Holds::Ranges},
    {PartKind::Worksheet, "protectedRanges/protectedRange", "sqref", Holds::Ranges},
    {PartKind::Worksheet, "ignoredErrors/ignoredError", "sqref", Holds::Ranges},
    {PartKind::Worksheet, "cellWatches/cellWatch", "r", Holds::Ranges},
    {PartKind::Worksheet, "rowBreaks/brk", "id", Holds::BreakRow},
    {PartKind::Worksheet, "controls/control/controlPr/anchor", "", Holds::Anchor},
    {PartKind::Worksheet, "oleObjects/oleObject/objectPr/anchor", "", Holds::Anchor},
    {PartKind::Worksheet, "extLst/ext/conditionalFormattings/conditionalFormatting/sqref", "", Holds::Ranges},
    {PartKind::Worksheet, "extLst/ext/conditionalFormattings/conditionalFormatting/cfRule/f", "", Holds::Formula},
    {PartKind::Worksheet, "extLst/ext/conditionalFormattings/conditionalFormatting/cfRule/*/cfvo/f", "",
     Holds::Formula},
    {PartKind::Worksheet, "extLst/ext/dataValidations/dataValidation/sqref", "", Holds::Ranges},
    {PartKind::Worksheet, "extLst/ext/dataValidations/dataValidation/formula1/f", "", Holds::Formula},
    {PartKind::Worksheet, "extLst/ext/dataValidations/dataValidation/formula2/f", "", Holds::Formula},
    {PartKind::Worksheet, "extLst/ext/sparklineGroups/sparklineGroup/f", "", Holds::Formula},
    {PartKind::Worksheet, "extLst/ext/sparklineGroups/sparklineGroup/sparklines/sparkline/f", "", Holds::Formula},
    {PartKind::Worksheet, "extLst/ext/sparklineGroups/sparklineGroup/sparklines/sparkline/sqref", "", Holds::Ranges},
    {PartKind::Table, "", "ref", Holds::Ranges},
    {PartKind::Table, "autoFilter", "ref", Holds::Ranges},
    {PartKind::Table, "sortState", "ref", Holds::Ranges},
    {PartKind::Table, "sortState/sortCondition", "ref", Holds::Ranges},
    {PartKind::PivotTable, "location", "ref", Holds::Ranges},
    {PartKind::ControlProperties, "", "fmlaLink", Holds::Formula},
    {PartKind::ControlProperties, "", "fmlaRange", Holds::Formula},
    {PartKind::ControlProperties, "", "fmlaTxbx", Holds::Formula},
    {PartKind::ControlProperties, "", "fmlaGroup", Holds::Formula},
    {PartKind::Drawing, "*", "", Holds::Anchor},
    {PartKind::Vml, "*/ClientData", "", Holds::VmlAnchor},
    {PartKind::Vml, "*/ClientData/FmlaLink", "", Holds::Formula},
    {PartKind::Vml, "*/ClientData/FmlaRange", "", Holds::Formula},
}};

bool Matches(const pugi::xml_node& node, std::string_view name)
{
    return node.type() == pugi::node_element && (name == "*" || LocalName(node) == name);
}

void AppendMatchingChildren(const pugi::xml_node& parent, std::string_view name, std::vector<pugi::xml_node>& out)
{
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element) {
            continue;
        }
        if (LocalName(child) != "AlternateContent") {
            if (Matches(child, name)) {
                out.push_back(child);
            }
            continue;
        }
        for (pugi::xml_node branch = child.first_child(); branch; branch = branch.next_sibling()) {
            for (pugi::xml_node inner = branch.first_child(); inner; inner = inner.next_sibling()) {
                if (Matches(inner, name)) {
                    out.push_back(inner);
                }
            }
        }
    }
}

// The elements a path leads to; the walk is as deep as the path, never the input.
std::vector<pugi::xml_node> Follow(const pugi::xml_node& root, std::string_view path)
{
    std::vector<pugi::xml_node> current{root};
    while (!path.empty() && !current.empty()) {
        size_t slash = path.find('/');
        std::string_view step = path.substr(0, slash);
        path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
        std::vector<pugi::xml_node> next;
        for (const pugi::xml_node& node : current) {
            AppendMatchingChildren(node, step, next);
        }
        current = std::move(next);
    }
    return current;
}

struct Value {
    pugi::xml_node node;
    pugi::xml_attribute attribute;

    explicit operator bool() const { return attribute || node; }
    const char* Get() const { return attribute ? attribute.value() : node.text().get(); }
    void Set(const std::string& text)
    {
        if (attribute) {
            attribute.set_value(text.c_str());
        } else {
            node.text().set(text.c_str());
        }
    }
};

Value ValueOf(const pugi::xml_node& node, std::string_view attribute)
{
    if (attribute.empty()) {
        return Value{node, {}};
    }
    pugi::xml_attribute found = node.attribute(std::string(attribute).c_str());
    return found ? Value{{}, found} : Value{};
}

struct AnchorRows {
    pugi::xml_node from;
    pugi::xml_node to;
};

AnchorRows RowsOfAnchor(const pugi::xml_node& anchor)
{
    return AnchorRows{ChildNamed(ChildNamed(anchor, "from"), "row"), ChildNamed(ChildNamed(anchor, "to"), "row")};
}

std::vector<long> VmlNumbers(const char* text)
{
    std::vector<long> numbers;
    std::string_view rest = text;
    while (numbers.size() <= 8) {
        numbers.push_back(std::strtol(std::string(rest.substr(0, rest.find(','))).c_str(), nullptr, 10));
        size_t comma = rest.find(',');
        if (comma == std::string_view::npos) {
            break;
        }
        rest = rest.substr(comma + 1);
    }
    return numbers;
}

bool IsNote(const pugi::xml_node& clientData)
{
    return std::string_view(clientData.attribute("ObjectType").value()) == "Note";
}

// Notes move with their comments; the other shapes move here.
pugi::xml_node ShapeAnchor(const pugi::xml_node& clientData)
{
    return IsNote(clientData) ? pugi::xml_node() : ChildNamed(clientData, "Anchor");
}

// The first row of what the place holds when that row would move, else 0.
int32_t MovedTop(const pugi::xml_node& node, const ReferencePlace& place, int32_t at)
{
    int32_t top = 0;
    auto consider = [&](int64_t row) {
        if (row >= at && row <= kMaxRow) {
            top = std::max(top, int32_t(row));
        }
    };
    switch (place.holds) {
    case Holds::Ranges:
        if (Value value = ValueOf(node, place.attribute)) {
            for (const CellRect& rect : ParseRectList(value.Get())) {
                consider(rect.top);
            }
        }
        break;
    case Holds::Anchor:
        if (pugi::xml_node from = RowsOfAnchor(node).from) {
            consider(from.text().as_llong() + 1);
        }
        break;
    case Holds::VmlAnchor:
        if (pugi::xml_node anchor = ShapeAnchor(node)) {
            std::vector<long> numbers = VmlNumbers(anchor.text().get());
            if (numbers.size() == 8) {
                consider(int64_t(numbers[2]) + 1);
            }
        }
        break;
    case Holds::Formula:
    case Holds::BreakRow:
        break;
    }
    return top;
}

struct Insertion {
    int32_t sheet;
    int32_t at;
    int32_t count;
    const SheetResolver& resolve;
};

bool ShiftPlace(const pugi::xml_node& node, const ReferencePlace& place, int32_t host, const Insertion& insertion)
{
    const int32_t at = insertion.at;
    const int32_t count = insertion.count;
    if (place.holds == Holds::Formula) {
        Value value = ValueOf(node, place.attribute);
        if (!value) {
            return false;
        }
        Formula formula = Formula::Parse(value.Get(), host, insertion.resolve);
        if (!formula.InsertRows(insertion.sheet, at, count)) {
            return false;
        }
        value.Set(formula.Text());
        return true;
    }
    if (host != insertion.sheet) {
        return false;
    }
    switch (place.holds) {
    case Holds::Ranges: {
        Value value = ValueOf(node, place.attribute);
        if (!value) {
            return false;
        }
        std::string text = ShiftRectListText(value.Get(), at, count);
        if (text == value.Get()) {
            return false;
        }
        value.Set(text);
        return true;
    }
    case Holds::BreakRow: {
        pugi::xml_attribute id = node.attribute(std::string(place.attribute).c_str());
        int64_t row = id.as_llong();
        if (!id || row + 1 < at) {
            return false;
        }
        id.set_value(std::min<int64_t>(row + count, kMaxRow - 1));
        return true;
    }
    case Holds::Anchor: {
        AnchorRows rows = RowsOfAnchor(node);
        if (!rows.from) {
            return false;
        }
        int32_t top = int32_t(std::clamp<int64_t>(rows.from.text().as_llong() + 1, 1, kMaxRow));
        int32_t bottom = rows.to ? int32_t(std::clamp<int64_t>(rows.to.text().as_llong() + 1, top, kMaxRow)) : top;
        const int32_t oldTop = top;
        const int32_t oldBottom = bottom;
        ShiftRowInterval(top, bottom, at, count);
        if (top == oldTop && bottom == oldBottom) {
            return false;
        }
        rows.from.text().set(top - 1);
        if (rows.to) {
            rows.to.text().set(bottom - 1);
        }
        return true;
    }
    case Holds::VmlAnchor: {
        pugi::xml_node anchor = ShapeAnchor(node);
        std::vector<long> numbers = anchor ? VmlNumbers(anchor.text().get()) : std::vector<long>();
        if (numbers.size() != 8) {
            return false;
        }
        int32_t top = int32_t(std::clamp<long>(numbers[2] + 1, 1, kMaxRow));
        int32_t bottom = int32_t(std::clamp<long>(numbers[6] + 1, top, kMaxRow));
        ShiftRowInterval(top, bottom, at, count);
        if (top - 1 == numbers[2] && bottom - 1 == numbers[6]) {
            return false;
        }
        numbers[2] = top - 1;
        numbers[6] = bottom - 1;
        std::string text;
        for (size_t i = 0; i < numbers.size(); ++i) {
            text += (i ? ", " : "") + std::to_string(numbers[i]);
        }
        anchor.text().set(text.c_str());
        return true;
    }
    case Holds::Formula:
        break;
    }
    return false;
}

// A note whose shape holds nothing a place of the VML part would change.
bool IsPlainNote(const pugi::xml_node& shape)
{
    std::vector<pugi::xml_node> data;
    AppendMatchingChildren(shape, "ClientData", data);
    return std::all_of(data.begin(), data.end(), [](const pugi::xml_node& clientData) {
        std::vector<pugi::xml_node> formulas;
        AppendMatchingChildren(clientData, "FmlaLink", formulas);
        AppendMatchingChildren(clientData, "FmlaRange", formulas);
        return IsNote(clientData) && formulas.empty();
    });
}

// The shapes of the sheet's VML part that are not plain notes.
const std::vector<pugi::xml_node>& OwnShapes(Sheet& sheet)
{
    if (!sheet.vmlOwnShapes) {
        std::vector<pugi::xml_node> shapes;
        AppendMatchingChildren(sheet.vml.document->document_element(), "*", shapes);
        shapes.erase(std::remove_if(shapes.begin(), shapes.end(), IsPlainNote), shapes.end());
        sheet.vmlOwnShapes = std::move(shapes);
    }
    return *sheet.vmlOwnShapes;
}

// Calls visit(node, place, changed flag) for every place of the sheet's parts;
// the flag is the part's, or null for the sheet part itself. Rows are inserted
// thousands of times into one sheet, so a place whose first step names no
// child of the part's root is skipped without walking its path.
template <typename Visit>
void ForEachPlace(Sheet& sheet, Visit visit)
{
    auto visitRoot = [&](PartKind kind, const pugi::xml_node& root, bool* changed) {
        std::vector<pugi::xml_node> children;
        AppendMatchingChildren(root, "*", children);
        std::vector<std::string_view> present;
        present.reserve(children.size());
        for (const pugi::xml_node& child : children) {
            present.push_back(LocalName(child));
        }
        for (const ReferencePlace& place : kPlaces) {
            if (place.part != kind) {
                continue;
            }
            std::string_view first = place.path.substr(0, place.path.find('/'));
            if (!first.empty() && first != "*" && std::find(present.begin(), present.end(), first) == present.end()) {
                continue;
            }
            for (const pugi::xml_node& node : Follow(root, place.path)) {
                visit(node, place, changed);
            }
        }
    };
    auto visitPart = [&](PartKind kind, SheetPart& part) {
        if (part.document) {
            visitRoot(kind, part.document->document_element(), &part.changed);
        }
    };
    visitRoot(PartKind::Worksheet, sheet.document.document_element(), nullptr);
    for (SheetPart& table : sheet.tables) {
        visitPart(PartKind::Table, table);
    }
    for (SheetPart& pivot : sheet.pivotTables) {
        visitPart(PartKind::PivotTable, pivot);
    }
    for (SheetPart& control : sheet.controlProperties) {
        visitPart(PartKind::ControlProperties, control);
    }
    visitPart(PartKind::Drawing, sheet.drawing);
    if (!sheet.vml.document) {
        return;
    }
    // Every place of the VML part starts at a shape ("*/...").
    const std::vector<pugi::xml_node>& shapes = OwnShapes(sheet);
    for (const ReferencePlace& place : kPlaces) {
        if (place.part != PartKind::Vml) {
            continue;
        }
        std::string_view below = place.path.substr(place.path.find('/') + 1);
        for (const pugi::xml_node& shape : shapes) {
            for (const pugi::xml_node& node : Follow(shape, below)) {
                visit(node, place, &sheet.vml.changed);
            }
        }
    }
}

}  // namespace

int32_t LowestPlaceMoved(Sheet& sheet, int32_t at)
{
    int32_t lowest = 0;
    ForEachPlace(sheet, [&](const pugi::xml_node& node, const ReferencePlace& place, bool*) {
        lowest = std::max(lowest, MovedTop(node, place, at));
    });
    return lowest;
}

void ShiftReferencePlaces(Workbook& workbook, int32_t sheetIndex, int32_t at, int32_t count)
{
    SheetResolver resolve = workbook.Resolver();
    const Insertion insertion{sheetIndex, at, count, resolve};
    for (auto& sheet : workbook.sheets) {
        if (!sheet->isWorksheet) {
            continue;
        }
        ForEachPlace(*sheet, [&](const pugi::xml_node& node, const ReferencePlace& place, bool* changed) {
            if (ShiftPlace(node, place, sheet->index, insertion)) {
                *(changed ? changed : &sheet->changed) = true;
            }
        });
    }
}

}  // namespace office::spreadsheet
