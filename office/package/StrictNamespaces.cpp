#include "office/package/StrictNamespaces.h"

#include <array>
#include <utility>

#include "office/package/Relationships.h"

namespace office {
namespace {

constexpr std::string_view kStrictRoot = "http://purl.oclc.org/ooxml/";
constexpr std::string_view kStrictMainType = "http://purl.oclc.org/ooxml/officeDocument/relationships/officeDocument";

// Longer strict names come before the names they begin with.
constexpr std::array<std::pair<std::string_view, std::string_view>, 23> kMapping = {{
    {"http://purl.oclc.org/ooxml/officeDocument/relationships/extendedProperties",
     "http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties"},
    {"http://purl.oclc.org/ooxml/officeDocument/relationships/customProperties",
     "http://schemas.openxmlformats.org/officeDocument/2006/relationships/custom-properties"},
    {"http://purl.oclc.org/ooxml/officeDocument/relationships",
     "http://schemas.openxmlformats.org/officeDocument/2006/relationships"},
    {"http://purl.oclc.org/ooxml/officeDocument/extendedProperties",
     "http://schemas.openxmlformats.org/officeDocument/2006/extended-properties"},
    {"http://purl.oclc.org/ooxml/officeDocument/customProperties",
     "http://schemas.openxmlformats.org/officeDocument/2006/custom-properties"},
    {"http://purl.oclc.org/ooxml/officeDocument/docPropsVTypes",
     "http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes"},
    {"http://purl.oclc.org/ooxml/officeDocument/math", "http://schemas.openxmlformats.org/officeDocument/2006/math"},
    {"http://purl.oclc.org/ooxml/officeDocument/bibliography",
     "http://schemas.openxmlformats.org/officeDocument/2006/bibliography"},
    {"http://purl.oclc.org/ooxml/officeDocument/customXml",
     "http://schemas.openxmlformats.org/officeDocument/2006/customXml"},
    {"http://purl.oclc.org/ooxml/officeDocument/sharedTypes",
     "http://schemas.openxmlformats.org/officeDocument/2006/sharedTypes"},
    {"http://purl.oclc.org/ooxml/spreadsheetml/main", "http://schemas.openxmlformats.org/spreadsheetml/2006/main"},
    {"http://purl.oclc.org/ooxml/wordprocessingml/main",
     "http://schemas.openxmlformats.org/wordprocessingml/2006/main"},
    {"http://purl.oclc.org/ooxml/presentationml/main", "http://schemas.openxmlformats.org/presentationml/2006/main"},
    {"http://purl.oclc.org/ooxml/drawingml/main", "http://schemas.openxmlformats.org/drawingml/2006/main"},
    {"http://purl.oclc.org/ooxml/drawingml/chartDrawing", "http://schemas.openxmlformats.org/drawingml/2006/chartDrawing"},
    {"http://purl.oclc.org/ooxml/drawingml/chart", "http://schemas.openxmlformats.org/drawingml/2006/chart"},
    {"http://purl.oclc.org/ooxml/drawingml/spreadsheetDrawing",
     "http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing"},
    {"http://purl.oclc.org/ooxml/drawingml/wordprocessingDrawing",
     "http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing"},
    {"http://purl.oclc.org/ooxml/drawingml/picture", "http://schemas.openxmlformats.org/drawingml/2006/picture"},
    {"http://purl.oclc.org/ooxml/drawingml/diagram", "http://schemas.openxmlformats.org/drawingml/2006/diagram"},
    {"http://purl.oclc.org/ooxml/drawingml/lockedCanvas", "http://schemas.openxmlformats.org/drawingml/2006/lockedCanvas"},
    {"http://purl.oclc.org/ooxml/drawingml/compatibility",
     "http://schemas.openxmlformats.org/drawingml/2006/compatibility"},
    {"http://purl.oclc.org/ooxml/schemaLibrary/main", "http://schemas.openxmlformats.org/schemaLibrary/2006/main"},
}};

constexpr std::string_view kConformance = "conformance=\"strict\"";

bool IsXmlPartName(std::string_view name)
{
    auto endsWith = [&](std::string_view tail) {
        return name.size() >= tail.size() && name.substr(name.size() - tail.size()) == tail;
    };
    return endsWith(".xml") || endsWith(".rels") || endsWith(".vml");
}

// The conformance attribute of a root element, with any prefix and the blank before it.
void RemoveConformance(std::string& xml)
{
    size_t found = xml.find(kConformance);
    if (found == std::string::npos) {
        return;
    }
    size_t start = found;
    while (start > 0 && xml[start - 1] != ' ' && xml[start - 1] != '<' && xml[start - 1] != '"') {
        --start;
    }
    if (start > 0 && xml[start - 1] == ' ') {
        xml.erase(start - 1, found + kConformance.size() - start + 1);
    }
}

}  // namespace

bool IsStrict(const Package& package)
{
    if (!package.HasPart(RelationshipsPartName(""))) {
        return false;
    }
    return Relationships(package, "").FindByType(kStrictMainType).has_value();
}

std::string StrictToTransitional(std::string_view xml)
{
    std::string out;
    out.reserve(xml.size());
    size_t done = 0;
    for (size_t at = xml.find(kStrictRoot); at != std::string_view::npos; at = xml.find(kStrictRoot, done)) {
        out.append(xml, done, at - done);
        done = at;
        for (const auto& [strict, transitional] : kMapping) {
            if (xml.substr(at, strict.size()) == strict) {
                out += transitional;
                done = at + strict.size();
                break;
            }
        }
        if (done == at) {
            out += kStrictRoot;
            done = at + kStrictRoot.size();
        }
    }
    out.append(xml, done);
    RemoveConformance(out);
    return out;
}

void MakeTransitional(Package& package)
{
    if (!IsStrict(package)) {
        return;
    }
    for (const std::string& name : package.PartNames()) {
        if (!IsXmlPartName(name)) {
            continue;
        }
        const std::string& bytes = package.Part(name);
        if (bytes.find(kStrictRoot) != std::string::npos) {
            package.SetPart(name, StrictToTransitional(bytes));
        }
    }
}

}  // namespace office
