#include "office/wordprocessor/WordTemplate.h"

#include "office/convert/LegacyConversion.h"
#include "office/package/ContentTypes.h"
#include "office/package/OleFile.h"
#include "office/package/PackageError.h"
#include "office/package/PathText.h"
#include "office/package/Properties.h"
#include "office/package/Relationships.h"
#include "office/package/StrictNamespaces.h"
#include "office/package/Xml.h"
#include "office/wordprocessor/AttachedTemplate.h"
#include "office/wordprocessor/FormField.h"
#include "office/wordprocessor/WordError.h"

namespace office::word {
namespace {

const char kVbaProjectType[] = "http://schemas.microsoft.com/office/2006/relationships/vbaProject";
const char kDocumentType[] = "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml";
const char* const kWordMainTypes[] = {
    "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml",
    "application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml",
    "application/vnd.ms-word.template.macroEnabledTemplate.main+xml",
    "application/vnd.ms-word.document.macroEnabled.main+xml",
};

// A document keeps no macros: the VBA project, its data part, their
// relationships and content types go.
bool DropMacros(Package& package, ContentTypes& types, const std::string& mainPart) {
    Relationships mainRels(package, mainPart);
    auto vba = mainRels.FindByType(kVbaProjectType);
    if (!vba) return false;
    const std::string vbaPart = ResolvePartTarget(mainPart, vba->target);
    for (const Relationship& rel : Relationships(package, vbaPart).All()) {
        if (rel.external) continue;
        const std::string data = ResolvePartTarget(vbaPart, rel.target);
        package.RemovePart(data);
        types.RemoveOverride(data);
    }
    package.RemovePart(RelationshipsPartName(vbaPart));
    package.RemovePart(vbaPart);
    types.RemoveOverride(vbaPart);
    mainRels.Remove(vba->id);
    mainRels.WriteTo(package);
    return true;
}

std::shared_ptr<WordTemplate> Read(const std::filesystem::path& path) {
    const std::string shown = PathText(path);
    const std::filesystem::path file = OoxmlTemplateFor(path, LegacyKind::Text);
    const std::string bytes = ReadPackageFile(file);
    if (IsOleFile(bytes) && !IsEncryptedPackage(bytes)) {
        throw WordError("Cannot read '" + shown +
                        "': it is a binary Office file without a Word document in it; only OOXML templates "
                        "(.dotx, .dotm, .docx, .docm) and converted old formats are read");
    }
    auto result = std::make_shared<WordTemplate>();
    result->path = path;
    result->package = Package::FromBytes(bytes, shown);
    Package& package = result->package;
    MakeTransitional(package);
    result->mainPart = Relationships(package, "").TargetPartOfType(kOfficeDocumentType);
    if (result->mainPart.empty() || !package.HasPart(result->mainPart)) {
        throw WordError("Cannot read '" + shown + "': it has no main document part");
    }
    ContentTypes types(package);
    const std::string mainType = types.TypeOf(result->mainPart);
    bool known = false;
    for (const char* type : kWordMainTypes) known = known || mainType == type;
    if (!known) {
        throw WordError("Cannot read '" + shown + "': it is not a WordprocessingML document or template (main part type '" +
                        mainType + "')");
    }
    ParseXml(result->main, package.Part(result->mainPart), "The part " + result->mainPart + " of '" + shown + "'");
    result->mainBytes = package.Part(result->mainPart).size();
    result->names = std::make_unique<WordNames>(result->main.document_element());
    if (!result->main.document_element().child(result->names->body.c_str())) {
        throw WordError("Cannot read '" + shown + "': its main document part has no body");
    }

    ForEachElement(result->main.document_element(), [&](pugi::xml_node node) {
        if (IsElement(node, result->names->tr)) ++result->mainRows;
    });

    const bool isTemplate = mainType != kWordMainTypes[0] && mainType != kWordMainTypes[3];
    const bool hadMacros = DropMacros(package, types, result->mainPart);
    if (hadMacros || mainType != kDocumentType) {
        types.SetOverride(result->mainPart, kDocumentType);
        types.WriteTo(package);
    }
    if (isTemplate) AttachTemplate(package, result->mainPart, PathText(std::filesystem::absolute(path)));
    result->attachedTemplateName = AttachedTemplateName(package, result->mainPart);
    const std::string now = W3cdtfNow();
    SetCoreProperty(package, "dcterms:created", now);
    SetCoreProperty(package, "dcterms:modified", now);
    SetCoreProperty(package, "cp:revision", "1");

    package.Compress();
    Package detached = package;
    for (const std::string& part : AttachTemplate(detached, result->mainPart, "")) {
        auto entry = detached.Entry(part);
        result->detachedParts.emplace_back(part, entry ? Compressed(entry) : nullptr);
    }
    return result;
}

}  // namespace

std::shared_ptr<const WordTemplate> LoadWordTemplate(const std::filesystem::path& path) {
    try {
        return Read(path);
    } catch (const PackageError& error) {
        throw WordError(error.what());
    }
}

}  // namespace office::word
