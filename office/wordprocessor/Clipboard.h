// The application's own clipboard (never the desktop's): copies of whole
// table rows, whole paragraphs, or inline content, without bookmarks.
#pragma once

#include <pugixml.hpp>

#include <cstddef>
#include <cstdint>
#include <string>

namespace office::word {

struct Clipboard {
    enum class Kind { Empty, Rows, Paragraphs, Inline };

    Kind kind = Kind::Empty;
    pugi::xml_document content;     // the copied nodes, under one holder element
    pugi::xml_document tableFrame;  // for rows: tblPr and tblGrid of their table
    std::string xml;                // the content as XML, parsed once into each document it is pasted into
    uint64_t generation = 0;        // tells one copy from the next
    size_t rows = 0;                // table rows in the content
    bool holdsUniqueIds = false;    // copies need renumbering
};

}  // namespace office::word
