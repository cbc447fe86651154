// The shared string table (xl/sharedStrings.xml). Strings read from the file
// stay as they were, rich text included; new ones are appended on save.
#pragma once

#include <pugixml.hpp>

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "office/package/ZipArchive.h"
#include "office/spreadsheet/TextLookup.h"

namespace office::spreadsheet {

class SharedStrings {
public:
    SharedStrings();
    void Load(std::string_view xml, const std::string& what);

    uint32_t Count() const { return uint32_t(existing.size() + added.size()); }
    // Index of a plain text, added when not yet there.
    uint32_t Add(std::string_view text);
    // A string item made from a cell's inline string (<is>), its elements
    // renamed for the namespace prefixes of the shared string table.
    uint32_t AddInline(const pugi::xml_node& inlineString);
    std::string Text(uint32_t index) const;

    bool Changed() const { return !added.empty(); }
    // The table's text, in pieces.
    void Serialize(const PartSink& sink) const;

private:
    void BuildLookup();

    pugi::xml_document document;
    std::vector<pugi::xml_node> existing;
    std::deque<std::string> added;  // stays in place, so the lookup can view its texts
    std::unordered_map<uint32_t, std::string> addedRich;
    TextLookup lookup;
    bool lookupBuilt = false;
};

}  // namespace office::spreadsheet
