// Small helpers over pugixml for SpreadsheetML parts, which may come with or
// without namespace prefixes on their elements.
#pragma once

#include <pugixml.hpp>

#include "office/package/Xml.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace office::spreadsheet {

pugi::xml_node ChildNamed(const pugi::xml_node& parent, std::string_view localName);
pugi::xml_node NextNamed(const pugi::xml_node& node, std::string_view localName);
// Concatenated text of every <t> below node, skipping phonetic runs (<rPh>).
std::string PlainText(const pugi::xml_node& node);
// The node's children written out as XML.
std::string InnerXml(const pugi::xml_node& node);
inline constexpr char kSpreadsheetNamespace[] = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";

// The prefix ("x:", or "" for the default namespace) that `uri` is bound to
// where `node` is; nullopt when it is not bound there.
std::optional<std::string> PrefixBoundTo(const pugi::xml_node& node, std::string_view uri);
// The name for a new SpreadsheetML element placed at `node`: with the prefix
// bound there to the SpreadsheetML namespace, else with the node's own prefix.
std::string SpreadsheetName(const pugi::xml_node& node, std::string_view localName);

// Inserts a new child element at its place in `order` (local names in schema
// order); names not in the list sort last.
pugi::xml_node InsertOrderedChild(pugi::xml_node parent, std::string_view localName,
                                  std::span<const std::string_view> order);

// Appends text escaped for XML character data or attribute values.
void AppendEscaped(std::string& out, std::string_view text);

}  // namespace office::spreadsheet
