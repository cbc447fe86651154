#include "office/spreadsheet/Styles.h"

#include <algorithm>

#include "office/package/Xml.h"
#include "office/spreadsheet/NumberFormats.h"
#include "office/spreadsheet/XmlNodes.h"

namespace office::spreadsheet {
namespace {

constexpr char kMinimalStyles[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
    "<fonts count=\"1\"><font><sz val=\"11\"/><name val=\"Calibri\"/></font></fonts>"
    "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill><fill><patternFill patternType=\"gray125\"/></fill></fills>"
    "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
    "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
    "<cellXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/></cellXfs>"
    "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
    "</styleSheet>";

void UpdateCount(pugi::xml_node list)
{
    size_t count = 0;
    for (pugi::xml_node child = list.first_child(); child; child = child.next_sibling()) {
        count += child.type() == pugi::node_element ? 1 : 0;
    }
    pugi::xml_attribute attribute = list.attribute("count");
    if (!attribute) {
        attribute = list.append_attribute("count");
    }
    attribute.set_value(std::to_string(count).c_str());
}

void SetAttribute(pugi::xml_node node, const char* name, const std::string& value)
{
    pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute) {
        attribute = node.append_attribute(name);
    }
    attribute.set_value(value.c_str());
}

}  // namespace

Styles::Styles()
{
    Load(kMinimalStyles, "the default styles");
}

void Styles::Load(std::string_view xml, const std::string& what)
{
    ParseXml(document, xml, what);
    pugi::xml_node root = document.document_element();
    customFormats.clear();
    xfs.clear();
    xfByKey.clear();
    derived.clear();
    keysBuilt = false;
    if (pugi::xml_node numFmts = ChildNamed(root, "numFmts")) {
        for (pugi::xml_node format = ChildNamed(numFmts, "numFmt"); format; format = NextNamed(format, "numFmt")) {
            customFormats[format.attribute("numFmtId").as_int()] = format.attribute("formatCode").value();
        }
    }
    cellXfs = ChildNamed(root, "cellXfs");
    if (!cellXfs) {
        pugi::xml_node before = ChildNamed(root, "cellStyles");
        cellXfs = before ? root.insert_child_before(SpreadsheetName(root, "cellXfs").c_str(), before)
                         : root.append_child(SpreadsheetName(root, "cellXfs").c_str());
        pugi::xml_node xf = cellXfs.append_child(SpreadsheetName(root, "xf").c_str());
        SetAttribute(xf, "numFmtId", "0");
        UpdateCount(cellXfs);
    }
    for (pugi::xml_node xf = ChildNamed(cellXfs, "xf"); xf; xf = NextNamed(xf, "xf")) {
        xfs.push_back(xf);
    }
}

int Styles::NumberFormatId(uint32_t xf) const
{
    return xf < xfs.size() ? xfs[xf].attribute("numFmtId").as_int() : 0;
}

std::string Styles::NumberFormat(uint32_t xf) const
{
    int id = NumberFormatId(xf);
    if (auto custom = customFormats.find(id); custom != customFormats.end()) {
        return custom->second;
    }
    if (auto code = BuiltInFormatCode(id)) {
        return std::string(*code);
    }
    return "General";
}

bool Styles::IsText(uint32_t xf) const
{
    return NumberFormat(xf) == "@";
}

bool Styles::IsGeneral(uint32_t xf) const
{
    return NumberFormat(xf) == "General";
}

int Styles::FillId(uint32_t xf) const
{
    return xf < xfs.size() ? xfs[xf].attribute("fillId").as_int() : 0;
}

std::string Styles::Key(const pugi::xml_node& xf)
{
    std::string key;
    for (pugi::xml_attribute attribute = xf.first_attribute(); attribute; attribute = attribute.next_attribute()) {
        key += attribute.name();
        key += '=';
        key += attribute.value();
        key += ';';
    }
    key += '|';
    key += InnerXml(xf);
    return key;
}

uint32_t Styles::Intern(pugi::xml_node candidate)
{
    if (!keysBuilt) {
        for (uint32_t i = 0; i < xfs.size(); ++i) {
            xfByKey.emplace(Key(xfs[i]), i);
        }
        keysBuilt = true;
    }
    std::string key = Key(candidate);
    if (auto found = xfByKey.find(key); found != xfByKey.end()) {
        RemoveSubtree(candidate);
        return found->second;
    }
    uint32_t index = uint32_t(xfs.size());
    xfs.push_back(candidate);
    xfByKey.emplace(std::move(key), index);
    UpdateCount(cellXfs);
    changed = true;
    return index;
}

int Styles::FormatIdFor(std::string_view code)
{
    for (const auto& [id, custom] : customFormats) {
        if (custom == code) {
            return id;
        }
    }
    if (auto builtIn = BuiltInFormatId(code)) {
        return *builtIn;
    }
    int id = kFirstCustomFormatId;
    for (const auto& entry : customFormats) {
        id = std::max(id, entry.first + 1);
    }
    pugi::xml_node root = document.document_element();
    pugi::xml_node numFmts = ChildNamed(root, "numFmts");
    if (!numFmts) {
        numFmts = root.prepend_child(SpreadsheetName(root, "numFmts").c_str());
    }
    pugi::xml_node format = numFmts.append_child(SpreadsheetName(root, "numFmt").c_str());
    SetAttribute(format, "numFmtId", std::to_string(id));
    SetAttribute(format, "formatCode", std::string(code));
    UpdateCount(numFmts);
    customFormats[id] = std::string(code);
    changed = true;
    return id;
}

int Styles::BorderWithoutTop(int borderId)
{
    if (auto found = bordersWithoutTop.find(borderId); found != bordersWithoutTop.end()) {
        return found->second;
    }
    pugi::xml_node root = document.document_element();
    pugi::xml_node borders = ChildNamed(root, "borders");
    if (!borders) {
        return borderId;
    }
    std::vector<pugi::xml_node> list;
    for (pugi::xml_node border = ChildNamed(borders, "border"); border; border = NextNamed(border, "border")) {
        list.push_back(border);
    }
    if (borderId < 0 || size_t(borderId) >= list.size()) {
        return borderId;
    }
    pugi::xml_node top = ChildNamed(list[size_t(borderId)], "top");
    if (!top || (!top.attribute("style") && !top.first_child())) {
        bordersWithoutTop[borderId] = borderId;
        return borderId;
    }
    pugi::xml_node copy = borders.append_copy(list[size_t(borderId)]);
    pugi::xml_node copiedTop = ChildNamed(copy, "top");
    copiedTop.remove_attribute("style");
    while (copiedTop.first_child()) {
        RemoveSubtree(copiedTop.first_child());
    }
    UpdateCount(borders);
    changed = true;
    int id = int(list.size());
    bordersWithoutTop[borderId] = id;
    return id;
}

uint32_t Styles::Derive(uint32_t xf, Change change, int argument)
{
    if (xf >= xfs.size()) {
        xf = 0;
    }
    auto key = std::make_tuple(xf, change, argument);
    if (auto found = derived.find(key); found != derived.end()) {
        return found->second;
    }
    pugi::xml_node candidate = cellXfs.append_copy(xfs[xf]);
    switch (change) {
    case Change::NumberFormat:
        SetAttribute(candidate, "numFmtId", std::to_string(argument));
        SetAttribute(candidate, "applyNumberFormat", "1");
        break;
    case Change::QuotePrefix:
        SetAttribute(candidate, "quotePrefix", "1");
        break;
    case Change::NoFill:
        SetAttribute(candidate, "fillId", "0");
        SetAttribute(candidate, "applyFill", "1");
        break;
    case Change::NoTopBorder:
        SetAttribute(candidate, "borderId", std::to_string(BorderWithoutTop(candidate.attribute("borderId").as_int())));
        SetAttribute(candidate, "applyBorder", "1");
        break;
    }
    uint32_t result = Intern(candidate);
    derived.emplace(key, result);
    return result;
}

uint32_t Styles::WithNumberFormat(uint32_t xf, std::string_view code)
{
    int id = FormatIdFor(code);
    if (NumberFormatId(xf) == id && xf < xfs.size()) {
        return xf;
    }
    return Derive(xf, Change::NumberFormat, id);
}

uint32_t Styles::WithQuotePrefix(uint32_t xf)
{
    return Derive(xf, Change::QuotePrefix, 0);
}

uint32_t Styles::WithoutFill(uint32_t xf)
{
    if (xf < xfs.size() && FillId(xf) == 0) {
        return xf;
    }
    return Derive(xf, Change::NoFill, 0);
}

uint32_t Styles::WithoutTopBorder(uint32_t xf)
{
    if (xf < xfs.size()) {
        int border = xfs[xf].attribute("borderId").as_int();
        if (BorderWithoutTop(border) == border) {
            return xf;
        }
    }
    return Derive(xf, Change::NoTopBorder, 0);
}

std::string Styles::Serialize() const
{
    return SerializeXml(document);
}

}  // namespace office::spreadsheet
