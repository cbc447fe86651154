#include "office/package/Xml.h"

#include "office/package/PackageError.h"

namespace office {
namespace {

class StringWriter : public pugi::xml_writer {
public:
    explicit StringWriter(std::string& out) : out_(out) {}
    void write(const void* data, size_t size) override { out_.append(static_cast<const char*>(data), size); }

private:
    std::string& out_;
};

constexpr unsigned kParseOptions =
    pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata | pugi::parse_doctype;

}  // namespace

bool HasDoctype(std::string_view bytes) {
    return bytes.find("<!DOCTYPE") != std::string_view::npos;
}

void ParseXml(pugi::xml_document& document, std::string_view bytes, const std::string& what) {
    pugi::xml_parse_result result = document.load_buffer(bytes.data(), bytes.size(), kParseOptions);
    if (!result) {
        throw PackageError(what + " is not well-formed XML (" + result.description() + " at byte " +
                           std::to_string(result.offset) + ")");
    }
    for (pugi::xml_node child = document.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_doctype) throw PackageError(what + " declares a DTD, which is not allowed");
    }
    if (!document.document_element()) throw PackageError(what + " has no root element");
}

namespace {

class DeflatingXmlWriter : public pugi::xml_writer {
public:
    explicit DeflatingXmlWriter(DeflatingWriter& out) : out_(out) {}
    void write(const void* data, size_t size) override { out_.Write({static_cast<const char*>(data), size}); }

private:
    DeflatingWriter& out_;
};

void SaveXml(const pugi::xml_document& document, pugi::xml_writer& writer) {
    pugi::xml_node declaration = document.first_child();
    if (declaration.type() == pugi::node_declaration) {
        pugi::xml_attribute encoding = declaration.attribute("encoding");
        if (encoding) encoding.set_value("UTF-8");
    }
    document.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
}

}  // namespace

std::string SerializeXml(const pugi::xml_document& document) {
    std::string out;
    StringWriter writer(out);
    SaveXml(document, writer);
    return out;
}

std::shared_ptr<const ZipEntry> SerializeXmlEntry(const pugi::xml_document& document, std::string name) {
    DeflatingWriter out(std::move(name));
    DeflatingXmlWriter writer(out);
    SaveXml(document, writer);
    return out.Finish();
}

void RemoveSubtree(pugi::xml_node node) {
    pugi::xml_node current = node;
    while (true) {
        if (pugi::xml_node child = current.first_child()) {
            current = child;
            continue;
        }
        const bool done = current == node;
        pugi::xml_node parent = current.parent();
        parent.remove_child(current);
        if (done) return;
        current = parent;
    }
}

std::string_view LocalName(const pugi::xml_node& node) {
    std::string_view name = node.name();
    size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

std::vector<pugi::xml_node> ChildrenNamed(const pugi::xml_node& parent, std::string_view localName) {
    std::vector<pugi::xml_node> found;
    for (pugi::xml_node child : parent.children()) {
        if (child.type() == pugi::node_element && LocalName(child) == localName) found.push_back(child);
    }
    return found;
}

std::string ChildName(const pugi::xml_node& parent, std::string_view localName) {
    std::string_view name = parent.name();
    size_t colon = name.find(':');
    return (colon == std::string_view::npos ? std::string() : std::string(name.substr(0, colon + 1))) +
           std::string(localName);
}

}  // namespace office
