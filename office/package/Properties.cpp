#include "office/package/Properties.h"

#include "office/package/ContentTypes.h"
#include "office/package/PackageError.h"
#include "office/package/Relationships.h"
#include "office/package/Xml.h"
#include "office/package/XmlNamespaces.h"

#include <strings.h>

#include <algorithm>
#include <ctime>
#include <utility>

namespace office {
namespace {

struct PropertyPart {
    const char* relationshipType;
    const char* defaultName;
    const char* contentType;
    const char* emptyXml;
};

const PropertyPart kCore{
    "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties", "docProps/core.xml",
    "application/vnd.openxmlformats-package.core-properties+xml",
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
    "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:dcterms=\"http://purl.org/dc/terms/\" "
    "xmlns:dcmitype=\"http://purl.org/dc/dcmitype/\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"/>"};

const PropertyPart kApp{
    kExtendedPropertiesType, "docProps/app.xml",
    "application/vnd.openxmlformats-officedocument.extended-properties+xml",
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\" "
    "xmlns:vt=\"http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes\"/>"};

const PropertyPart kCustom{
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/custom-properties", "docProps/custom.xml",
    "application/vnd.openxmlformats-officedocument.custom-properties+xml",
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/custom-properties\" "
    "xmlns:vt=\"http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes\"/>"};

// The property part's name, or "" when the package has none.
std::string FindPart(const Package& package, const PropertyPart& kind) {
    std::string name = Relationships(package, "").TargetPartOfType(kind.relationshipType);
    return !name.empty() && package.HasPart(name) ? name : "";
}

std::string EnsurePart(Package& package, const PropertyPart& kind) {
    std::string name = FindPart(package, kind);
    if (!name.empty()) return name;
    name = kind.defaultName;
    package.SetPart(name, kind.emptyXml);
    Relationships rels(package, "");
    if (auto old = rels.FindByType(kind.relationshipType)) rels.Remove(old->id);
    rels.Add(kind.relationshipType, name);
    rels.WriteTo(package);
    ContentTypes types(package);
    types.SetOverride(name, kind.contentType);
    types.WriteTo(package);
    return name;
}

void Load(pugi::xml_document& document, const Package& package, const std::string& name) {
    ParseXml(document, package.Part(name), "The part " + name + " of '" + package.DisplayName() + "'");
}

constexpr char kCoreNamespace[] = "http://schemas.openxmlformats.org/package/2006/metadata/core-properties";
constexpr char kTermsNamespace[] = "http://purl.org/dc/terms/";
constexpr char kInstanceNamespace[] = "http://www.w3.org/2001/XMLSchema-instance";
constexpr char kAppNamespace[] = "http://schemas.openxmlformats.org/officeDocument/2006/extended-properties";
constexpr char kCustomNamespace[] = "http://schemas.openxmlformats.org/officeDocument/2006/custom-properties";
constexpr char kTypesNamespace[] = "http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes";

// A core property as callers name it ("dcterms:created"): the namespace its
// conventional prefix stands for, and its local name.
struct CoreName {
    std::string_view prefix;
    std::string_view uri;
    std::string_view local;
};

CoreName ResolveCoreName(std::string_view qualifiedName) {
    static constexpr std::pair<std::string_view, std::string_view> kPrefixes[] = {
        {"cp", kCoreNamespace}, {"dc", "http://purl.org/dc/elements/1.1/"}, {"dcterms", kTermsNamespace}};
    const size_t colon = qualifiedName.find(':');
    const std::string_view prefix = colon == std::string_view::npos ? "cp" : qualifiedName.substr(0, colon);
    for (const auto& [known, uri] : kPrefixes) {
        if (known == prefix) return {known, uri, LocalPart(qualifiedName)};
    }
    throw PackageError("'" + std::string(qualifiedName) + "' is not a core document property");
}

bool IsDateProperty(const CoreName& name) {
    return name.uri == kTermsNamespace && (name.local == "created" || name.local == "modified");
}

}  // namespace

std::string W3cdtfNow() {
    std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

void SetCoreProperty(Package& package, std::string_view qualifiedName, std::string_view value) {
    const CoreName property = ResolveCoreName(qualifiedName);
    const std::string name = EnsurePart(package, kCore);
    pugi::xml_document document;
    Load(document, package, name);
    pugi::xml_node root = document.document_element();
    pugi::xml_node element = ChildNamed(root, property.uri, property.local);
    if (!element) {
        element = root.append_child(ChildElementName(root, property.uri, property.local, property.prefix).c_str());
        if (IsDateProperty(property)) {
            const std::string type = PrefixFor(root, kInstanceNamespace, "xsi") + ":type";
            const std::string format = PrefixFor(root, kTermsNamespace, "dcterms") + ":W3CDTF";
            element.append_attribute(type.c_str()).set_value(format.c_str());
        }
    }
    element.text().set(std::string(value).c_str());
    package.SetPart(name, SerializeXml(document));
}

std::optional<std::string> CoreProperty(const Package& package, std::string_view qualifiedName) {
    const CoreName property = ResolveCoreName(qualifiedName);
    const std::string name = FindPart(package, kCore);
    if (name.empty()) return std::nullopt;
    pugi::xml_document document;
    Load(document, package, name);
    pugi::xml_node element = ChildNamed(document.document_element(), property.uri, property.local);
    if (!element) return std::nullopt;
    return std::string(element.text().get());
}

void SetAppProperty(Package& package, std::string_view propertyName, std::string_view value) {
    const std::string name = EnsurePart(package, kApp);
    pugi::xml_document document;
    Load(document, package, name);
    pugi::xml_node root = document.document_element();
    pugi::xml_node element = ChildNamed(root, kAppNamespace, propertyName);
    if (!element) element = root.append_child(ChildElementName(root, kAppNamespace, propertyName, "ep").c_str());
    element.text().set(std::string(value).c_str());
    package.SetPart(name, SerializeXml(document));
}

std::optional<std::string> AppProperty(const Package& package, std::string_view propertyName) {
    const std::string name = FindPart(package, kApp);
    if (name.empty()) return std::nullopt;
    pugi::xml_document document;
    Load(document, package, name);
    pugi::xml_node element = ChildNamed(document.document_element(), kAppNamespace, propertyName);
    if (!element) return std::nullopt;
    return std::string(element.text().get());
}

std::vector<CustomProperty> CustomProperties(const Package& package) {
    std::vector<CustomProperty> properties;
    const std::string name = FindPart(package, kCustom);
    if (name.empty()) return properties;
    pugi::xml_document document;
    Load(document, package, name);
    for (pugi::xml_node item : document.document_element().children()) {
        if (!IsNamed(item, kCustomNamespace, "property")) continue;
        pugi::xml_node value = item.find_child([](pugi::xml_node n) { return n.type() == pugi::node_element; });
        properties.push_back({item.attribute("name").value(), std::string(LocalPart(value.name())),
                              value.text().get()});
    }
    return properties;
}

void AddCustomProperty(Package& package, const CustomProperty& property) {
    for (const CustomProperty& existing : CustomProperties(package)) {
        if (strcasecmp(existing.name.c_str(), property.name.c_str()) == 0) {
            throw PackageError("The custom property '" + property.name + "' already exists in '" +
                               package.DisplayName() + "'");
        }
    }
    const std::string name = EnsurePart(package, kCustom);
    pugi::xml_document document;
    Load(document, package, name);
    pugi::xml_node root = document.document_element();
    int pid = 1;  // property ids 0 and 1 are reserved
    for (pugi::xml_node item : root.children()) pid = std::max(pid, item.attribute("pid").as_int());
    pugi::xml_node item = root.append_child(ChildElementName(root, kCustomNamespace, "property", "op").c_str());
    item.append_attribute("fmtid").set_value("{D5CDD505-2E9C-101B-9397-08002B2CF9AE}");
    item.append_attribute("pid").set_value(pid + 1);
    item.append_attribute("name").set_value(property.name.c_str());
    const std::string type = PrefixFor(root, kTypesNamespace, "vt") + ":" + property.type;
    item.append_child(type.c_str()).text().set(property.value.c_str());
    package.SetPart(name, SerializeXml(document));
}

}  // namespace office
