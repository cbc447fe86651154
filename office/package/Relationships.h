// The relationships of one part (or of the package, source ""), read from
// and written back to its .rels part.
#pragma once

#include "office/package/Package.h"

#include <pugixml.hpp>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace office {

// Relationship types that more than one kind of document looks its parts up by.
inline constexpr char kOfficeDocumentType[] =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument";
inline constexpr char kExtendedPropertiesType[] =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties";

struct Relationship {
    std::string id;
    std::string type;
    std::string target;
    bool external = false;
};

class Relationships {
public:
    // Reads the .rels part of sourcePart; an absent .rels part means none.
    // Throws PackageError when it is malformed.
    Relationships(const Package& package, std::string_view sourcePart);

    std::vector<Relationship> All() const;
    std::optional<Relationship> FindById(std::string_view id) const;
    std::optional<Relationship> FindByType(std::string_view type) const;
    // The part a relationship of that type points to ("" for none or external).
    std::string TargetPartOfType(std::string_view type) const;

    // Adds a relationship and returns its new, unused id ("rId7").
    std::string Add(std::string_view type, std::string_view target, bool external = false);
    void SetTarget(std::string_view id, std::string_view target);
    void Remove(std::string_view id);

    void WriteTo(Package& package) const;

private:
    pugi::xml_node FindNode(std::string_view id) const;

    std::string sourcePart_;
    pugi::xml_document document_;
};

}  // namespace office
