#include "tests/office/wordprocessor/WordTestSupport.h"

#include "office/package/Package.h"

#include <pugixml.hpp>

#include <cstring>

namespace word_test {

std::string ReadMain(const std::filesystem::path& folder, const std::string& name) {
    return office::Package::Open(folder / (name + ".docx")).Part("word/document.xml");
}

std::string ParagraphTexts(const std::string& documentXml) {
    pugi::xml_document document;
    document.load_buffer(documentXml.data(), documentXml.size(), pugi::parse_default | pugi::parse_ws_pcdata);
    std::string texts;
    bool first = true;
    for (pugi::xpath_node p : document.select_nodes("//w:p")) {
        std::string text;
        pugi::xpath_node_set pieces = p.node().select_nodes(".//w:t | .//w:tab | .//w:br");
        pieces.sort();
        for (pugi::xpath_node piece : pieces) {
            std::string_view name = piece.node().name();
            text += name == "w:t" ? std::string(piece.node().text().get()) : name == "w:tab" ? "\\t" : "\\v";
        }
        texts += (first ? "" : "|") + text;
        first = false;
    }
    return texts;
}

size_t CountOf(const std::string& text, const std::string& needle) {
    size_t count = 0;
    for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + needle.size())) ++count;
    return count;
}

}  // namespace word_test
