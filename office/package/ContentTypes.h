// [Content_Types].xml: the content type of every part, by override or by
// extension default. Edits keep everything else of the part as it was.
#pragma once

#include "office/package/Package.h"

#include <pugixml.hpp>

#include <string>
#include <string_view>

namespace office {

class ContentTypes {
public:
    // Reads [Content_Types].xml of the package; throws PackageError when it is malformed.
    explicit ContentTypes(const Package& package);

    // The override for the part, else the default for its extension, else "".
    std::string TypeOf(std::string_view partName) const;
    void SetOverride(std::string_view partName, std::string_view type);
    void RemoveOverride(std::string_view partName);
    void SetDefault(std::string_view extension, std::string_view type);

    void WriteTo(Package& package) const;

private:
    pugi::xml_node FindOverride(std::string_view partName) const;

    pugi::xml_document document_;
};

}  // namespace office
