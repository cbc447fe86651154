#include "office/package/Relationships.h"

#include "office/package/ContentTypes.h"
#include "office/package/Xml.h"

#include <unordered_set>

namespace office {
namespace {

const char kNamespace[] = "http://schemas.openxmlformats.org/package/2006/relationships";
const char kRelationshipsContentType[] = "application/vnd.openxmlformats-package.relationships+xml";

Relationship FromNode(pugi::xml_node node) {
    return {node.attribute("Id").value(), node.attribute("Type").value(), node.attribute("Target").value(),
            std::string_view(node.attribute("TargetMode").value()) == "External"};
}

}  // namespace

Relationships::Relationships(const Package& package, std::string_view sourcePart) : sourcePart_(sourcePart) {
    const std::string name = RelationshipsPartName(sourcePart);
    if (package.HasPart(name)) {
        ParseXml(document_, package.Part(name), "The part " + name + " of '" + package.DisplayName() + "'");
        return;
    }
    pugi::xml_node declaration = document_.append_child(pugi::node_declaration);
    declaration.append_attribute("version").set_value("1.0");
    declaration.append_attribute("encoding").set_value("UTF-8");
    declaration.append_attribute("standalone").set_value("yes");
    document_.append_child("Relationships").append_attribute("xmlns").set_value(kNamespace);
}

std::vector<Relationship> Relationships::All() const {
    std::vector<Relationship> all;
    for (pugi::xml_node node : ChildrenNamed(document_.document_element(), "Relationship")) all.push_back(FromNode(node));
    return all;
}

pugi::xml_node Relationships::FindNode(std::string_view id) const {
    for (pugi::xml_node node : ChildrenNamed(document_.document_element(), "Relationship")) {
        if (id == node.attribute("Id").value()) return node;
    }
    return {};
}

std::optional<Relationship> Relationships::FindById(std::string_view id) const {
    if (pugi::xml_node node = FindNode(id)) return FromNode(node);
    return std::nullopt;
}

std::optional<Relationship> Relationships::FindByType(std::string_view type) const {
    for (pugi::xml_node node : ChildrenNamed(document_.document_element(), "Relationship")) {
        if (type == node.attribute("Type").value()) return FromNode(node);
    }
    return std::nullopt;
}

std::string Relationships::TargetPartOfType(std::string_view type) const {
    auto found = FindByType(type);
    if (!found || found->external) return "";
    return ResolvePartTarget(sourcePart_, found->target);
}

std::string Relationships::Add(std::string_view type, std::string_view target, bool external) {
    std::unordered_set<std::string> used;
    for (pugi::xml_node node : ChildrenNamed(document_.document_element(), "Relationship")) {
        used.insert(node.attribute("Id").value());
    }
    std::string id;
    for (size_t n = used.size() + 1;; ++n) {
        id = "rId" + std::to_string(n);
        if (!used.count(id)) break;
    }
    pugi::xml_node root = document_.document_element();
    pugi::xml_node node = root.append_child(ChildName(root, "Relationship").c_str());
    node.append_attribute("Id").set_value(id.c_str());
    node.append_attribute("Type").set_value(std::string(type).c_str());
    node.append_attribute("Target").set_value(std::string(target).c_str());
    if (external) node.append_attribute("TargetMode").set_value("External");
    return id;
}

void Relationships::SetTarget(std::string_view id, std::string_view target) {
    if (pugi::xml_node node = FindNode(id)) node.attribute("Target").set_value(std::string(target).c_str());
}

void Relationships::Remove(std::string_view id) {
    if (pugi::xml_node node = FindNode(id)) RemoveSubtree(node);
}

void Relationships::WriteTo(Package& package) const {
    const std::string name = RelationshipsPartName(sourcePart_);
    // A relationship part without relationships is noise that some readers complain about.
    if (ChildrenNamed(document_.document_element(), "Relationship").empty()) {
        package.RemovePart(name);
        return;
    }
    const bool added = !package.HasPart(name);
    package.SetPart(name, SerializeXml(document_));
    if (!added) return;
    ContentTypes types(package);
    if (!types.TypeOf(name).empty()) return;
    types.SetDefault("rels", kRelationshipsContentType);
    types.WriteTo(package);
}

}  // namespace office
