// Parsing and writing the XML parts of a package with pugixml, keeping every
// byte of text (whitespace-only runs included) and refusing DTDs.
#pragma once

#include "office/package/ZipArchive.h"

#include <pugixml.hpp>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace office {

// Parses bytes into document; throws PackageError naming `what` when the part
// is not well-formed or carries a DTD.
void ParseXml(pugi::xml_document& document, std::string_view bytes, const std::string& what);

// Writes the document as it is (no indentation), with a UTF-8 declaration
// when it has one.
std::string SerializeXml(const pugi::xml_document& document);
// The same, compressed on the way into a package entry of that name.
std::shared_ptr<const ZipEntry> SerializeXmlEntry(const pugi::xml_document& document, std::string name);

// True when the part text declares a document type.
bool HasDoctype(std::string_view bytes);

// Removes node from its parent. pugixml frees a removed subtree by recursion,
// which a deeply nested template part would take past the stack; this frees
// it from the leaves up instead.
void RemoveSubtree(pugi::xml_node node);

// Calls visit(element) for every element below root in document order,
// without recursion; visit returns whether to go into that element.
template <typename Visit>
void ForEachElementBelow(pugi::xml_node root, Visit visit) {
    pugi::xml_node node = root.first_child();
    while (node) {
        if (node.type() == pugi::node_element && visit(node) && node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node != root && !node.next_sibling()) node = node.parent();
        node = node == root ? pugi::xml_node() : node.next_sibling();
    }
}

// An element's name without its namespace prefix.
std::string_view LocalName(const pugi::xml_node& node);
// The child elements with that local name, whatever prefix they carry.
std::vector<pugi::xml_node> ChildrenNamed(const pugi::xml_node& parent, std::string_view localName);
// The name for a new child element in the namespace (and with the prefix) of `parent`.
std::string ChildName(const pugi::xml_node& parent, std::string_view localName);

}  // namespace office
