// Document properties: core (docProps/core.xml), extended "app"
// (docProps/app.xml) and custom (docProps/custom.xml). Missing parts are
// created with their relationship and content type.
#pragma once

#include "office/package/Package.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace office {

// The current UTC time as W3CDTF ("2024-05-01T12:00:00Z").
std::string W3cdtfNow();

// Sets a core property named with its conventional prefix ("dcterms:created",
// "cp:revision", "dc:title"). The part is searched and extended by namespace,
// whatever prefixes it uses; dates get an xsi:type of W3CDTF. Throws
// PackageError for a prefix other than cp, dc and dcterms.
void SetCoreProperty(Package& package, std::string_view qualifiedName, std::string_view value);
std::optional<std::string> CoreProperty(const Package& package, std::string_view qualifiedName);

// Sets an extended property by its element name ("Template", "Application").
void SetAppProperty(Package& package, std::string_view name, std::string_view value);
std::optional<std::string> AppProperty(const Package& package, std::string_view name);

struct CustomProperty {
    std::string name;
    std::string type;   // the vt: element: "lpwstr", "i4", "r8", "bool", "filetime"
    std::string value;  // its text, as stored
};

std::vector<CustomProperty> CustomProperties(const Package& package);
// Throws PackageError when a property of that name (case-insensitive) exists.
void AddCustomProperty(Package& package, const CustomProperty& property);

}  // namespace office
