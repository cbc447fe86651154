#include "office/wordprocessor/WordNames.h"

#include <string_view>

namespace office::word {
namespace {

const char kMainNamespace[] = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";

std::string PrefixOf(pugi::xml_node root) {
    for (pugi::xml_attribute attribute : root.attributes()) {
        std::string_view name = attribute.name();
        if (std::string_view(attribute.value()) != kMainNamespace) continue;
        if (name == "xmlns") return "";
        if (name.substr(0, 6) == "xmlns:") return std::string(name.substr(6)) + ":";
    }
    return "w:";
}

}  // namespace

WordNames::WordNames(pugi::xml_node root) {
    const std::string w = PrefixOf(root);
    body = w + "body";
    p = w + "p";
    pPr = w + "pPr";
    r = w + "r";
    rPr = w + "rPr";
    t = w + "t";
    tab = w + "tab";
    br = w + "br";
    tbl = w + "tbl";
    tblPr = w + "tblPr";
    tblGrid = w + "tblGrid";
    tr = w + "tr";
    tc = w + "tc";
    tcPr = w + "tcPr";
    sectPr = w + "sectPr";
    fldChar = w + "fldChar";
    fldCharType = w + "fldCharType";
    instrText = w + "instrText";
    ffData = w + "ffData";
    name = w + "name";
    val = w + "val";
    noProof = w + "noProof";
    checkBox = w + "checkBox";
    ddList = w + "ddList";
    textInput = w + "textInput";
    bookmarkStart = w + "bookmarkStart";
    bookmarkEnd = w + "bookmarkEnd";
    id = w + "id";
    type = w + "type";
    sdt = w + "sdt";
    sdtPr = w + "sdtPr";
    sdtContent = w + "sdtContent";
    footnoteReference = w + "footnoteReference";
    endnoteReference = w + "endnoteReference";
    footnote = w + "footnote";
    endnote = w + "endnote";
    commentRangeStart = w + "commentRangeStart";
    commentRangeEnd = w + "commentRangeEnd";
    commentReference = w + "commentReference";
    comment = w + "comment";
    settings = w + "settings";
    attachedTemplate = w + "attachedTemplate";
}

bool IsElement(pugi::xml_node node, const std::string& qualifiedName) {
    return node.type() == pugi::node_element && qualifiedName == node.name();
}

}  // namespace office::word
