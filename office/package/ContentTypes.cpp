#include "office/package/ContentTypes.h"

#include "office/package/Xml.h"

#include <strings.h>

namespace office {
namespace {

const char kPartName[] = "[Content_Types].xml";

std::string Absolute(std::string_view partName) {
    return !partName.empty() && partName.front() == '/' ? std::string(partName) : "/" + std::string(partName);
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

}  // namespace

ContentTypes::ContentTypes(const Package& package) {
    ParseXml(document_, package.Part(kPartName), "The part [Content_Types].xml of '" + package.DisplayName() + "'");
}

pugi::xml_node ContentTypes::FindOverride(std::string_view partName) const {
    const std::string name = Absolute(partName);
    for (pugi::xml_node item : ChildrenNamed(document_.document_element(), "Override")) {
        if (SameIgnoringCase(item.attribute("PartName").value(), name)) return item;
    }
    return {};
}

std::string ContentTypes::TypeOf(std::string_view partName) const {
    if (pugi::xml_node item = FindOverride(partName)) return item.attribute("ContentType").value();
    size_t dot = partName.rfind('.');
    if (dot == std::string_view::npos) return "";
    std::string_view extension = partName.substr(dot + 1);
    for (pugi::xml_node item : ChildrenNamed(document_.document_element(), "Default")) {
        if (SameIgnoringCase(item.attribute("Extension").value(), extension)) return item.attribute("ContentType").value();
    }
    return "";
}

void ContentTypes::SetOverride(std::string_view partName, std::string_view type) {
    pugi::xml_node item = FindOverride(partName);
    if (!item) {
        pugi::xml_node root = document_.document_element();
        item = root.append_child(ChildName(root, "Override").c_str());
        item.append_attribute("PartName").set_value(Absolute(partName).c_str());
        item.append_attribute("ContentType");
    }
    item.attribute("ContentType").set_value(std::string(type).c_str());
}

void ContentTypes::RemoveOverride(std::string_view partName) {
    if (pugi::xml_node item = FindOverride(partName)) RemoveSubtree(item);
}

void ContentTypes::SetDefault(std::string_view extension, std::string_view type) {
    pugi::xml_node root = document_.document_element();
    for (pugi::xml_node item : ChildrenNamed(root, "Default")) {
        if (SameIgnoringCase(item.attribute("Extension").value(), extension)) {
            item.attribute("ContentType").set_value(std::string(type).c_str());
            return;
        }
    }
    pugi::xml_node item = root.prepend_child(ChildName(root, "Default").c_str());
    item.append_attribute("Extension").set_value(std::string(extension).c_str());
    item.append_attribute("ContentType").set_value(std::string(type).c_str());
}

void ContentTypes::WriteTo(Package& package) const {
    package.SetPart(kPartName, SerializeXml(document_));
}

}  // namespace office
