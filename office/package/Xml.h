// Parsing and writing the XML parts of a package with pugixml, keeping every
// byte of text (whitespace-only runs included) and refusing DTDs.
#pragma once

#include <pugixml.hpp>

#include <string>
#include <string_view>

namespace office {

// Parses bytes into document; throws PackageError naming `what` when the part
// is not well-formed or carries a DTD.
void ParseXml(pugi::xml_document& document, std::string_view bytes, const std::string& what);

// Writes the document as it is (no indentation), with a UTF-8 declaration
// when it has one.
std::string SerializeXml(const pugi::xml_document& document);

// True when the part text declares a document type.
bool HasDoctype(std::string_view bytes);

}  // namespace office
