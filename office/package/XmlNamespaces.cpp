#include "office/package/XmlNamespaces.h"

namespace office {
namespace {

constexpr std::string_view kXmlNamespace = "http://www.w3.org/XML/1998/namespace";

std::string_view PrefixOf(std::string_view qualifiedName) {
    size_t colon = qualifiedName.find(':');
    return colon == std::string_view::npos ? std::string_view() : qualifiedName.substr(0, colon);
}

std::string Declaration(std::string_view prefix) {
    return prefix.empty() ? std::string("xmlns") : "xmlns:" + std::string(prefix);
}

}  // namespace

std::string_view LocalPart(std::string_view qualifiedName) {
    size_t colon = qualifiedName.find(':');
    return colon == std::string_view::npos ? qualifiedName : qualifiedName.substr(colon + 1);
}

std::string_view NamespaceAt(pugi::xml_node node, std::string_view prefix) {
    if (prefix == "xml") return kXmlNamespace;
    const std::string attribute = Declaration(prefix);
    for (; node && node.type() == pugi::node_element; node = node.parent()) {
        if (pugi::xml_attribute bound = node.attribute(attribute.c_str())) return bound.value();
    }
    return {};
}

bool IsNamed(pugi::xml_node element, std::string_view uri, std::string_view local) {
    if (element.type() != pugi::node_element) return false;
    const std::string_view name = element.name();
    return LocalPart(name) == local && NamespaceAt(element, PrefixOf(name)) == uri;
}

pugi::xml_node ChildNamed(pugi::xml_node parent, std::string_view uri, std::string_view local) {
    for (pugi::xml_node child : parent.children()) {
        if (IsNamed(child, uri, local)) return child;
    }
    return {};
}

std::string PrefixFor(pugi::xml_node node, std::string_view uri, std::string_view preferred) {
    for (pugi::xml_node scope = node; scope && scope.type() == pugi::node_element; scope = scope.parent()) {
        for (pugi::xml_attribute attribute : scope.attributes()) {
            const std::string_view name = attribute.name();
            if (name.substr(0, 6) != "xmlns:" || attribute.value() != uri) continue;
            // A closer declaration may bind the same prefix to something else.
            const std::string_view prefix = name.substr(6);
            if (NamespaceAt(node, prefix) == uri) return std::string(prefix);
        }
    }
    std::string prefix(preferred);
    for (int n = 2; !NamespaceAt(node, prefix).empty(); ++n) prefix = std::string(preferred) + std::to_string(n);
    node.append_attribute(Declaration(prefix).c_str()).set_value(std::string(uri).c_str());
    return prefix;
}

std::string ChildElementName(pugi::xml_node parent, std::string_view uri, std::string_view local,
                             std::string_view preferred) {
    if (NamespaceAt(parent, "") == uri) return std::string(local);
    return PrefixFor(parent, uri, preferred) + ":" + std::string(local);
}

}  // namespace office
