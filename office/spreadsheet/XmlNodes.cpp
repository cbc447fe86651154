#include "office/spreadsheet/XmlNodes.h"

#include <algorithm>

#include "office/package/Xml.h"

namespace office::spreadsheet {
namespace {

class StringWriter : public pugi::xml_writer {
public:
    explicit StringWriter(std::string& out) : out(out) {}
    void write(const void* data, size_t size) override { out.append(static_cast<const char*>(data), size); }

private:
    std::string& out;
};

void CollectText(const pugi::xml_node& root, std::string& out)
{
    ForEachElementBelow(root, [&](pugi::xml_node node) {
        std::string_view name = LocalName(node);
        if (name == "t") {
            out += node.text().get();
            return false;
        }
        return name != "rPh" && name != "phoneticPr";
    });
}

}  // namespace

pugi::xml_node ChildNamed(const pugi::xml_node& parent, std::string_view localName)
{
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element && LocalName(child) == localName) {
            return child;
        }
    }
    return {};
}

pugi::xml_node NextNamed(const pugi::xml_node& node, std::string_view localName)
{
    for (pugi::xml_node next = node.next_sibling(); next; next = next.next_sibling()) {
        if (next.type() == pugi::node_element && LocalName(next) == localName) {
            return next;
        }
    }
    return {};
}

std::string PlainText(const pugi::xml_node& node)
{
    std::string text;
    CollectText(node, text);
    return text;
}

std::string InnerXml(const pugi::xml_node& node)
{
    std::string out;
    StringWriter writer(out);
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        child.print(writer, "", pugi::format_raw, pugi::encoding_utf8);
    }
    return out;
}

std::optional<std::string> PrefixBoundTo(const pugi::xml_node& node, std::string_view uri)
{
    for (pugi::xml_node scope = node; scope; scope = scope.parent()) {
        for (pugi::xml_attribute attribute = scope.first_attribute(); attribute; attribute = attribute.next_attribute()) {
            std::string_view name = attribute.name();
            if (uri != attribute.value()) {
                continue;
            }
            if (name == "xmlns") {
                return std::string();
            }
            if (name.substr(0, 6) == "xmlns:") {
                return std::string(name.substr(6)) + ":";
            }
        }
    }
    return std::nullopt;
}

std::string SpreadsheetName(const pugi::xml_node& node, std::string_view localName)
{
    std::optional<std::string> prefix = PrefixBoundTo(node, kSpreadsheetNamespace);
    if (!prefix) {
        std::string_view name = node.name();
        size_t colon = name.find(':');
        prefix = colon == std::string_view::npos ? std::string() : std::string(name.substr(0, colon + 1));
    }
    return *prefix + std::string(localName);
}

pugi::xml_node InsertOrderedChild(pugi::xml_node parent, std::string_view localName,
                                  std::span<const std::string_view> order)
{
    auto rank = [&](std::string_view name) { return size_t(std::find(order.begin(), order.end(), name) - order.begin()); };
    size_t wanted = rank(localName);
    std::string name = SpreadsheetName(parent, localName);
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element && rank(LocalName(child)) > wanted) {
            return parent.insert_child_before(name.c_str(), child);
        }
    }
    return parent.append_child(name.c_str());
}

void AppendEscaped(std::string& out, std::string_view text)
{
    auto special = [](char c) {
        return c == '&' || c == '<' || c == '>' || c == '"' || (static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != '\t');
    };
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (!special(c)) {
            continue;
        }
        // Runs of plain text go in whole.
        out.append(text, start, i - start);
        start = i + 1;
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\r': out += "&#13;"; break;
        default: break;  // not allowed in XML 1.0
        }
    }
    out.append(text, start, text.size() - start);
}

}  // namespace office::spreadsheet
