#include "office/package/WrittenPartsCheck.h"

#include "office/package/ContentTypes.h"
#include "office/package/PackageError.h"

#include <expat.h>

#include <cstdlib>
#include <memory>

namespace office {
namespace {

bool EndsWith(std::string_view text, std::string_view tail) {
    if (text.size() < tail.size()) return false;
    for (size_t i = 0; i < tail.size(); ++i) {
        char c = text[text.size() - tail.size() + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != tail[i]) return false;
    }
    return true;
}

bool IsXml(std::string_view name, std::string_view type) {
    return EndsWith(name, ".xml") || EndsWith(name, ".rels") || EndsWith(type, "+xml") || type == "application/xml" ||
           type == "text/xml";
}

struct ParserFree {
    void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};

// "" when bytes are namespace-well-formed XML, else what is wrong and where.
std::string NamespaceFault(std::string_view bytes) {
    std::unique_ptr<XML_ParserStruct, ParserFree> parser(XML_ParserCreateNS(nullptr, '\n'));
    if (!parser) throw PackageError("Cannot check a written part: out of memory");
    if (XML_Parse(parser.get(), bytes.data(), static_cast<int>(bytes.size()), XML_TRUE) == XML_STATUS_OK) return "";
    return std::string(XML_ErrorString(XML_GetErrorCode(parser.get()))) + " at line " +
           std::to_string(XML_GetCurrentLineNumber(parser.get())) + ", column " +
           std::to_string(XML_GetCurrentColumnNumber(parser.get()));
}

}  // namespace

bool WrittenPartsChecked() {
    static const bool checked = [] {
        const char* value = std::getenv("TOLVANE_CHECK_PARTS");
        return value && std::string_view(value) == "1";
    }();
    return checked;
}

void CheckWrittenParts(const Package& package) {
    const std::string where = "The package written from '" + package.DisplayName() + "'";
    const ContentTypes types(package);
    for (const std::string& name : package.PartNames()) {
        if (name == "[Content_Types].xml") continue;
        const std::string type = types.TypeOf(name);
        if (type.empty()) throw PackageError(where + " has no content type for its part '" + name + "'");
        if (!IsXml(name, type)) continue;
        const std::string fault = NamespaceFault(package.Part(name));
        if (!fault.empty()) {
            throw PackageError(where + " has a part '" + name + "' that is not namespace-well-formed XML: " + fault);
        }
    }
    const std::string fault = NamespaceFault(package.Part("[Content_Types].xml"));
    if (!fault.empty()) throw PackageError(where + " has a [Content_Types].xml that is not well-formed XML: " + fault);
}

}  // namespace office
