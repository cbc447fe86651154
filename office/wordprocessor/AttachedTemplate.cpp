#include "office/wordprocessor/AttachedTemplate.h"

#include "office/package/Properties.h"
#include "office/package/Relationships.h"
#include "office/package/Xml.h"
#include "office/wordprocessor/WordNames.h"

#include <algorithm>
#include <set>
#include <string_view>

namespace office::word {
namespace {

const char kSettingsType[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/settings";
const char kTemplateType[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/attachedTemplate";
const char kRelationshipsNamespace[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const char kNormal[] = "Normal.dotm";

// Settings children that the schema puts before attachedTemplate.
const std::set<std::string_view> kBeforeAttachedTemplate = {
    "writeProtection", "view", "zoom", "removePersonalInformation", "removeDateAndTime",
    "doNotDisplayPageBoundaries", "displayBackgroundShape", "printPostScriptOverText",
    "printFractionalCharacterWidth", "printFormsData", "embedTrueTypeFonts", "embedSystemFonts",
    "saveSubsetFonts", "saveFormsData", "mirrorMargins", "alignBordersAndEdges", "bordersDoNotSurroundHeader",
    "bordersDoNotSurroundFooter", "gutterAtTop", "hideSpellingErrors", "hideGrammaticalErrors",
    "activeWritingStyle", "proofState", "formsDesign"};

std::string_view LocalName(std::string_view name) {
    size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

std::string RelationshipsPrefix(pugi::xml_node root) {
    for (pugi::xml_attribute attribute : root.attributes()) {
        std::string_view name = attribute.name();
        if (name.substr(0, 6) == "xmlns:" && std::string_view(attribute.value()) == kRelationshipsNamespace) {
            return std::string(name.substr(6));
        }
    }
    root.append_attribute("xmlns:r").set_value(kRelationshipsNamespace);
    return "r";
}

std::string FileUrl(const std::string& path) {
    return "file:///" + (path.empty() || path.front() != '/' ? path : path.substr(1));
}

std::string FileName(std::string_view target) {
    size_t cut = target.find_last_of("/\\");
    return std::string(cut == std::string_view::npos ? target : target.substr(cut + 1));
}

}  // namespace

std::vector<std::string> AttachTemplate(Package& package, const std::string& mainPart, const std::string& path) {
    std::vector<std::string> changed;
    Relationships mainRels(package, mainPart);
    const std::string settingsPart = mainRels.TargetPartOfType(kSettingsType);
    if (!settingsPart.empty() && package.HasPart(settingsPart)) {
        pugi::xml_document settings;
        ParseXml(settings, package.Part(settingsPart), "The part " + settingsPart + " of '" + package.DisplayName() + "'");
        WordNames names(settings.document_element());
        pugi::xml_node root = settings.document_element();
        Relationships settingsRels(package, settingsPart);
        const std::string prefix = RelationshipsPrefix(root);
        pugi::xml_node element = root.child(names.attachedTemplate.c_str());
        if (element) {
            settingsRels.Remove(element.attribute((prefix + ":id").c_str()).value());
        }
        if (path.empty()) {
            if (element) RemoveSubtree(element);
        } else {
            if (!element) {
                pugi::xml_node after;
                for (pugi::xml_node child : root.children()) {
                    if (child.type() == pugi::node_element && kBeforeAttachedTemplate.count(LocalName(child.name()))) {
                        after = child;
                    }
                }
                element = after ? root.insert_child_after(names.attachedTemplate.c_str(), after)
                                : root.prepend_child(names.attachedTemplate.c_str());
            }
            element.remove_attributes();
            std::string id = settingsRels.Add(kTemplateType, FileUrl(path), true);
            element.append_attribute((prefix + ":id").c_str()).set_value(id.c_str());
        }
        package.SetPart(settingsPart, SerializeXml(settings));
        settingsRels.WriteTo(package);
        changed.push_back(settingsPart);
        changed.push_back(RelationshipsPartName(settingsPart));
    }
    SetAppProperty(package, "Template", path.empty() ? kNormal : FileName(path));
    changed.push_back(Relationships(package, "").TargetPartOfType(kExtendedPropertiesType));
    return changed;
}

std::string AttachedTemplateName(const Package& package, const std::string& mainPart) {
    Relationships mainRels(package, mainPart);
    const std::string settingsPart = mainRels.TargetPartOfType(kSettingsType);
    if (settingsPart.empty() || !package.HasPart(settingsPart)) return kNormal;
    pugi::xml_document settings;
    ParseXml(settings, package.Part(settingsPart), "The part " + settingsPart + " of '" + package.DisplayName() + "'");
    WordNames names(settings.document_element());
    pugi::xml_node element = settings.document_element().child(names.attachedTemplate.c_str());
    if (!element) return kNormal;
    for (pugi::xml_attribute attribute : element.attributes()) {
        if (LocalName(attribute.name()) != "id") continue;
        if (auto rel = Relationships(package, settingsPart).FindById(attribute.value())) return FileName(rel->target);
    }
    return kNormal;
}

}  // namespace office::word
