#include "office/spreadsheet/SharedStrings.h"

#include "office/package/Xml.h"
#include "office/spreadsheet/XmlNodes.h"

namespace office::spreadsheet {
namespace {

constexpr char kEmptyTable[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"/>";

bool NeedsPreserve(std::string_view text)
{
    return !text.empty() && (text.front() == ' ' || text.back() == ' ' || text.find('\n') != std::string_view::npos ||
                             text.front() == '\t' || text.back() == '\t');
}

std::string_view PrefixOf(std::string_view name)
{
    size_t colon = name.find(':');
    return colon == std::string_view::npos ? std::string_view() : name.substr(0, colon);
}

// Gives every element below `item` (a copy of `source`) the table's prefix
// when it is SpreadsheetML, and declares the namespace of any other prefixed
// element on it, so the item reads the same inside the table.
void RenameForTable(pugi::xml_node item, const pugi::xml_node& source, const std::string& tablePrefix)
{
    pugi::xml_node node = item.first_child();
    while (node && node != item) {
        if (node.type() == pugi::node_element) {
            std::string_view name = node.name();
            std::string prefix(PrefixOf(name));
            std::string declaration = prefix.empty() ? "xmlns" : "xmlns:" + prefix;
            std::string uri = node.attribute(declaration.c_str()).value();
            if (uri.empty()) {
                for (pugi::xml_node scope = source; scope && uri.empty(); scope = scope.parent()) {
                    uri = scope.attribute(declaration.c_str()).value();
                }
            }
            if (uri == kSpreadsheetNamespace) {
                node.set_name((tablePrefix + std::string(LocalName(node))).c_str());
                node.remove_attribute(declaration.c_str());
            } else if (!prefix.empty() && !uri.empty() && !node.attribute(declaration.c_str())) {
                node.append_attribute(declaration.c_str()).set_value(uri.c_str());
            }
        }
        if (node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node != item && !node.next_sibling()) {
            node = node.parent();
        }
        if (node != item) {
            node = node.next_sibling();
        }
    }
}

}  // namespace

SharedStrings::SharedStrings()
{
    ParseXml(document, kEmptyTable, "the shared strings");
}

void SharedStrings::Load(std::string_view xml, const std::string& what)
{
    ParseXml(document, xml, what);
    existing.clear();
    for (pugi::xml_node item = ChildNamed(document.document_element(), "si"); item; item = NextNamed(item, "si")) {
        existing.push_back(item);
    }
}

void SharedStrings::BuildLookup()
{
    for (uint32_t i = 0; i < existing.size(); ++i) {
        pugi::xml_node first = existing[i].first_child();
        if (first && !first.next_sibling() && LocalName(first) == "t") {
            std::string_view text = first.text().get();
            if (!lookup.Find(text)) {
                lookup.Add(text, i);
            }
        }
    }
    lookupBuilt = true;
}

uint32_t SharedStrings::Add(std::string_view text)
{
    if (!lookupBuilt) {
        BuildLookup();
    }
    if (std::optional<uint32_t> found = lookup.Find(text)) {
        return *found;
    }
    // Looked up by its stored copy, which the deque keeps in place.
    added.emplace_back(text);
    lookup.Add(added.back(), Count() - 1);
    return Count() - 1;
}

uint32_t SharedStrings::AddInline(const pugi::xml_node& inlineString)
{
    pugi::xml_document copy;
    pugi::xml_node item = copy.append_copy(inlineString);
    RenameForTable(item, inlineString, SpreadsheetName(document.document_element(), ""));
    uint32_t index = Count();
    added.push_back(PlainText(item));
    addedRich.emplace(index, InnerXml(item));
    return index;
}

std::string SharedStrings::Text(uint32_t index) const
{
    if (index < existing.size()) {
        return PlainText(existing[index]);
    }
    index -= uint32_t(existing.size());
    return index < added.size() ? added[index] : std::string();
}

void SharedStrings::Serialize(const PartSink& sink) const
{
    pugi::xml_node root = document.document_element();
    pugi::xml_document copy;
    copy.reset(document);
    pugi::xml_node copiedRoot = copy.document_element();
    copiedRoot.remove_attribute("count");
    pugi::xml_attribute unique = copiedRoot.attribute("uniqueCount");
    if (!unique) {
        unique = copiedRoot.append_attribute("uniqueCount");
    }
    unique.set_value(std::to_string(Count()).c_str());
    std::string head = SerializeXml(copy);
    // New items go in before the closing tag of the root (or into an empty one).
    std::string rootName = root.name();
    const std::string closingTag = "</" + rootName + ">";
    size_t closing = head.rfind(closingTag);
    std::string tail;
    if (closing != std::string::npos) {
        tail = head.substr(closing);
        head.resize(closing);
    } else {
        size_t selfClose = head.rfind("/>");
        tail = closingTag + head.substr(selfClose + 2);
        head.replace(selfClose, std::string::npos, ">");
    }
    // Items go out in pieces of about this size, so the table's text is never held whole.
    constexpr size_t kPiece = 64 * 1024;
    std::string& items = head;
    const std::string si = SpreadsheetName(root, "si");
    const std::string t = SpreadsheetName(root, "t");
    for (uint32_t i = 0; i < added.size(); ++i) {
        items += '<';
        items += si;
        items += '>';
        auto rich = addedRich.empty() ? addedRich.end() : addedRich.find(uint32_t(existing.size()) + i);
        if (rich != addedRich.end()) {
            items += rich->second;
        } else {
            items += '<';
            items += t;
            items += NeedsPreserve(added[i]) ? " xml:space=\"preserve\">" : ">";
            AppendEscaped(items, added[i]);
            items += "</";
            items += t;
            items += '>';
        }
        items += "</";
        items += si;
        items += '>';
        if (items.size() >= kPiece) {
            sink(items);
            items.clear();
        }
    }
    items += tail;
    sink(items);
}

}  // namespace office::spreadsheet
