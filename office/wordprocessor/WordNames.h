// Qualified element and attribute names of WordprocessingML as one document
// spells them: the prefix bound to the main namespace is read from the root
// element, so a part that does not use "w:" is still understood.
#pragma once

#include <pugixml.hpp>

#include <string>

namespace office::word {

struct WordNames {
    explicit WordNames(pugi::xml_node root);

    std::string body, p, pPr, r, rPr, t, tab, br, tbl, tblPr, tblGrid, tr, tc, tcPr, sectPr;
    std::string fldChar, fldCharType, instrText, ffData, name, val, noProof;
    std::string checkBox, ddList, textInput;
    std::string bookmarkStart, bookmarkEnd, id, type;
    std::string sdt, sdtPr, sdtContent;
    std::string footnoteReference, endnoteReference, footnote, endnote;
    std::string commentRangeStart, commentRangeEnd, commentReference, comment;
    std::string settings, attachedTemplate;
};

// Whether node is an element with that qualified name (as WordNames spells it).
bool IsElement(pugi::xml_node node, const std::string& qualifiedName);

}  // namespace office::word
