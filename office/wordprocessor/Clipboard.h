// The application's own clipboard (never the desktop's): copies of whole
// table rows, whole paragraphs, or inline content, without bookmarks.
#pragma once

#include <pugixml.hpp>

namespace office::word {

struct Clipboard {
    enum class Kind { Empty, Rows, Paragraphs, Inline };

    Kind kind = Kind::Empty;
    pugi::xml_document content;     // the copied nodes, under one holder element
    pugi::xml_document tableFrame;  // for rows: tblPr and tblGrid of their table
};

}  // namespace office::word
