// Elements by namespace URI, whatever prefix a part's producer chose: lookups
// resolve prefixes through the declarations in scope, and names made for new
// elements and attributes use a prefix that is bound there, declaring one
// when none is.
#pragma once

#include <pugixml.hpp>

#include <string>
#include <string_view>

namespace office {

// "cp:revision" -> "revision"; "revision" -> "revision".
std::string_view LocalPart(std::string_view qualifiedName);

// The URI that `prefix` ("" for the default namespace) stands for at node,
// or "" when nothing binds it there.
std::string_view NamespaceAt(pugi::xml_node node, std::string_view prefix);

// Whether element is `local` in the namespace `uri`.
bool IsNamed(pugi::xml_node element, std::string_view uri, std::string_view local);

// The first child element of parent that is `local` in `uri`.
pugi::xml_node ChildNamed(pugi::xml_node parent, std::string_view uri, std::string_view local);

// A prefix bound to uri at node; when there is none, `preferred` (or
// `preferred` with a number, when that is taken) is declared on node.
std::string PrefixFor(pugi::xml_node node, std::string_view uri, std::string_view preferred);

// The name for a new child element of parent that is `local` in `uri`:
// unprefixed when uri is the default namespace there, else with PrefixFor.
std::string ChildElementName(pugi::xml_node parent, std::string_view uri, std::string_view local,
                             std::string_view preferred);

}  // namespace office
