#include "office/spreadsheet/Workbook.h"

#include <strings.h>

#include <array>
#include <cctype>
#include <functional>
#include <optional>

#include "office/package/ContentTypes.h"
#include "office/package/PackageError.h"
#include "office/package/Relationships.h"
#include "office/package/StrictNamespaces.h"
#include "office/package/Xml.h"
#include "office/spreadsheet/SheetReader.h"
#include "office/spreadsheet/SheetWriter.h"
#include "office/spreadsheet/TableHeaders.h"
#include "office/spreadsheet/XmlNodes.h"

namespace office::spreadsheet {
namespace {

constexpr char kSharedStringsType[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings";
constexpr char kStylesType[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles";
constexpr char kSharedStringsContent[] = "application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml";
constexpr char kStylesContent[] = "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml";

constexpr char kChartContent[] = "application/vnd.openxmlformats-officedocument.drawingml.chart+xml";
constexpr char kPivotCacheContent[] =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.pivotCacheDefinition+xml";
constexpr char kTemplateMain[] = "application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml";
constexpr char kWorkbookMain[] = "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml";
constexpr char kMacroTemplateMain[] = "application/vnd.ms-excel.template.macroEnabled.main+xml";
constexpr char kMacroWorkbookMain[] = "application/vnd.ms-excel.sheet.macroEnabled.main+xml";

constexpr std::array<std::string_view, 19> kWorkbookOrder = {
    "fileVersion",  "fileSharing",      "workbookPr",     "workbookProtection",  "bookViews",
    "sheets",       "functionGroups",   "externalReferences", "definedNames",    "calcPr",
    "oleSize",      "customWorkbookViews", "pivotCaches", "smartTagPr",          "smartTagTypes",
    "webPublishing", "fileRecoveryPr",  "webPublishObjects", "extLst"};

bool EndsWith(std::string_view text, std::string_view end)
{
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

constexpr char kRelationshipsNamespace[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// The relationship id attribute (r:id), found by its namespace.
std::string RelationshipId(const pugi::xml_node& node)
{
    std::optional<std::string> prefix = PrefixBoundTo(node, kRelationshipsNamespace);
    if (!prefix || prefix->empty()) {
        return {};
    }
    return node.attribute((*prefix + "id").c_str()).value();
}

// Worksheets and macro sheets are grids of cells; chart sheets and dialogs are not.
bool IsGridSheet(std::string_view relationshipType)
{
    return EndsWith(relationshipType, "/worksheet") || EndsWith(relationshipType, "/xlMacrosheet") ||
           EndsWith(relationshipType, "/xlIntlMacrosheet");
}

std::unique_ptr<pugi::xml_document> LoadPart(const Package& package, const std::string& name)
{
    auto document = std::make_unique<pugi::xml_document>();
    ParseXml(*document, package.Part(name), "The part " + name + " of '" + package.DisplayName() + "'");
    return document;
}

}  // namespace

std::unique_ptr<Workbook> Workbook::FromPackage(Package package)
{
    auto workbook = std::make_unique<Workbook>();
    workbook->package = std::move(package);
    MakeTransitional(workbook->package);
    workbook->ReadWorkbookPart();
    workbook->ReadSheets();
    workbook->ReadCharts();
    workbook->ReadPivotCaches();
    return workbook;
}

int32_t Workbook::SheetIndex(std::string_view name) const
{
    for (const auto& sheet : sheets) {
        if (sheet->name.size() == name.size() && strncasecmp(sheet->name.data(), name.data(), name.size()) == 0) {
            return sheet->index;
        }
    }
    return kSheetUnknown;
}

SheetResolver Workbook::Resolver() const
{
    return [this](std::string_view name) { return SheetIndex(name); };
}

void Workbook::ReadWorkbookPart()
{
    const std::string& file = package.DisplayName();
    workbookPart = Relationships(package, "").TargetPartOfType(kOfficeDocumentType);
    if (workbookPart.empty() || !package.HasPart(workbookPart)) {
        throw PackageError("Cannot read '" + file + "': it has no main document part");
    }
    std::string type = ContentTypes(package).TypeOf(workbookPart);
    if (type != kTemplateMain && type != kWorkbookMain && type != kMacroTemplateMain && type != kMacroWorkbookMain) {
        throw PackageError("Cannot read '" + file + "': it is not a spreadsheet workbook or template (main part type '" +
                           type + "')");
    }
    macroEnabled = type == kMacroTemplateMain || type == kMacroWorkbookMain;
    ParseXml(workbookXml, package.Part(workbookPart), "The part " + workbookPart + " of '" + file + "'");

    Relationships relationships(package, workbookPart);
    for (const Relationship& relationship : relationships.All()) {
        if (relationship.external) {
            continue;
        }
        if (relationship.type == kSharedStringsType) {
            stringsPart = ResolvePartTarget(workbookPart, relationship.target);
        } else if (relationship.type == kStylesType) {
            stylesPart = ResolvePartTarget(workbookPart, relationship.target);
        }
    }
    if (!stringsPart.empty() && package.HasPart(stringsPart)) {
        strings.Load(package.Part(stringsPart), "The part " + stringsPart + " of '" + file + "'");
    } else {
        stringsPart.clear();
    }
    if (!stylesPart.empty() && package.HasPart(stylesPart)) {
        styles.Load(package.Part(stylesPart), "The part " + stylesPart + " of '" + file + "'");
    } else {
        stylesPart.clear();
    }

    pugi::xml_node root = workbookXml.document_element();
    pugi::xml_node sheetList = ChildNamed(root, "sheets");
    for (pugi::xml_node entry = ChildNamed(sheetList, "sheet"); entry; entry = NextNamed(entry, "sheet")) {
        auto sheet = std::make_unique<Sheet>();
        sheet->name = entry.attribute("name").value();
        sheet->index = int32_t(sheets.size());
        std::string id = RelationshipId(entry);
        auto relationship = relationships.FindById(id);
        if (relationship) {
            sheet->partName = ResolvePartTarget(workbookPart, relationship->target);
            sheet->isWorksheet = IsGridSheet(relationship->type);
        } else if (id.empty()) {
            // An old module sheet: an entry without a part, kept as it is.
            sheet->isWorksheet = false;
        } else {
            throw PackageError("Cannot read '" + file + "': the sheet '" + sheet->name + "' has no part");
        }
        if (!sheet->partName.empty()) ClaimPart(sheet->partName, "the sheet '" + sheet->name + "'");
        sheets.push_back(std::move(sheet));
    }
    if (sheets.empty()) {
        throw PackageError("Cannot read '" + file + "': the workbook has no sheets");
    }
    if (pugi::xml_node views = ChildNamed(root, "bookViews")) {
        if (pugi::xml_node view = ChildNamed(views, "workbookView")) {
            activeSheet = view.attribute("activeTab").as_int(0);
        }
    }
    if (activeSheet < 0 || activeSheet >= int32_t(sheets.size()) || !sheets[size_t(activeSheet)]->isWorksheet) {
        activeSheet = 0;
    }

    SheetResolver resolve = Resolver();
    if (pugi::xml_node list = ChildNamed(root, "definedNames")) {
        for (pugi::xml_node entry = ChildNamed(list, "definedName"); entry; entry = NextNamed(entry, "definedName")) {
            DefinedName name;
            for (pugi::xml_attribute attribute = entry.first_attribute(); attribute;
                 attribute = attribute.next_attribute()) {
                std::string_view key = attribute.name();
                if (key == "name") {
                    name.name = attribute.value();
                } else if (key == "localSheetId") {
                    name.localSheet = attribute.as_int(-1);
                } else {
                    name.attributes.emplace_back(attribute.name(), attribute.value());
                }
            }
            name.formula = Formula::Parse(entry.text().get(), kSheetUnknown, resolve);
            names.push_back(std::move(name));
        }
    }
}

// Each part the model edits is read once: two sheets or two relationships
// sharing a part would have it edited twice and written twice, and a few
// hundred bytes of relationships could make thousands of copies of it.
void Workbook::ClaimPart(const std::string& part, const std::string& owner)
{
    std::string key = part;
    for (char& c : key) {
        c = char(std::tolower(static_cast<unsigned char>(c)));
    }
    auto [found, added] = claimedParts.emplace(std::move(key), owner);
    if (!added) {
        throw PackageError("Cannot read '" + package.DisplayName() + "': " + found->second + " and " + owner +
                           " share the part " + part);
    }
}

void Workbook::ReadSheets()
{
    SheetResolver resolve = Resolver();
    for (auto& sheet : sheets) {
        if (!sheet->isWorksheet) {
            continue;
        }
        if (!package.HasPart(sheet->partName)) {
            throw PackageError("Cannot read '" + package.DisplayName() + "': the sheet '" + sheet->name +
                               "' has no part " + sheet->partName);
        }
        ReadSheet(*sheet, package.Part(sheet->partName),
                  "The sheet '" + sheet->name + "' (" + sheet->partName + ") of '" + package.DisplayName() + "'",
                  resolve, strings);
        if (sheet->codeName.empty()) {
            sheet->codeName = sheet->name;
        }
        ReadSheetParts(*sheet);
    }
}

void Workbook::ReadSheetParts(Sheet& sheet)
{
    Relationships relationships(package, sheet.partName);
    for (const Relationship& relationship : relationships.All()) {
        if (relationship.external) {
            continue;
        }
        std::string target = ResolvePartTarget(sheet.partName, relationship.target);
        if (!package.HasPart(target)) {
            continue;
        }
        const std::string owner = "the sheet '" + sheet.name + "'";
        if (EndsWith(relationship.type, "/comments")) {
            ClaimPart(target, owner);
            sheet.comments = SheetPart{target, LoadPart(package, target), false};
        } else if (EndsWith(relationship.type, "/vmlDrawing")) {
            ClaimPart(target, owner);
            // Legacy drawings are not always well-formed XML; one that is not
            // is kept as it came and its anchors are left alone.
            auto document = std::make_unique<pugi::xml_document>();
            if (document->load_buffer(package.Part(target).data(), package.Part(target).size(),
                                      pugi::parse_default | pugi::parse_ws_pcdata)) {
                sheet.vml = SheetPart{target, std::move(document), false};
            }
        } else if (EndsWith(relationship.type, "/drawing")) {
            ClaimPart(target, owner);
            sheet.drawing = SheetPart{target, LoadPart(package, target), false};
        } else if (EndsWith(relationship.type, "/table")) {
            ClaimPart(target, owner);
            sheet.tables.push_back(SheetPart{target, LoadPart(package, target), false});
        } else if (EndsWith(relationship.type, "/pivotTable")) {
            sheet.pivotTables.push_back(SheetPart{target, LoadPart(package, target), false});
        } else if (EndsWith(relationship.type, "/ctrlProp")) {
            sheet.controlProperties.push_back(SheetPart{target, LoadPart(package, target), false});
        }
    }
}

void Workbook::ReadCharts()
{
    ContentTypes types(package);
    for (const std::string& name : package.PartNames()) {
        if (types.TypeOf(name) != kChartContent) {
            continue;
        }
        ChartPart chart{SheetPart{name, LoadPart(package, name), false}, {}};
        std::vector<pugi::xml_node> pending{chart.part.document->document_element()};
        while (!pending.empty()) {
            pugi::xml_node node = pending.back();
            pending.pop_back();
            for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
                if (child.type() != pugi::node_element) {
                    continue;
                }
                if (LocalName(child) == "f") {
                    chart.formulas.push_back(child);
                } else {
                    pending.push_back(child);
                }
            }
        }
        if (!chart.formulas.empty()) {
            charts.push_back(std::move(chart));
        }
    }
}

// Only the active sheet's tab is selected; two selected tabs would open as a
// group of sheets.
void Workbook::MarkSelectedTab()
{
    for (const auto& sheet : sheets) {
        if (!sheet->isWorksheet) {
            continue;
        }
        pugi::xml_node view = ChildNamed(ChildNamed(sheet->document.document_element(), "sheetViews"), "sheetView");
        if (!view) {
            continue;
        }
        std::string_view current = view.attribute("tabSelected").value();
        bool selected = current == "1" || current == "true";
        bool wanted = sheet->index == activeSheet;
        if (selected == wanted) {
            continue;
        }
        if (wanted) {
            (view.attribute("tabSelected") ? view.attribute("tabSelected") : view.append_attribute("tabSelected"))
                .set_value("1");
        } else {
            view.remove_attribute("tabSelected");
        }
        sheet->changed = true;
    }
}

void Workbook::ReadPivotCaches()
{
    ContentTypes types(package);
    for (const std::string& name : package.PartNames()) {
        if (types.TypeOf(name) == kPivotCacheContent) {
            pivotCaches.push_back(SheetPart{name, LoadPart(package, name), false});
        }
    }
}

void Workbook::WriteWorkbookPart(Package& out) const
{
    pugi::xml_document document;
    document.reset(workbookXml);
    pugi::xml_node root = document.document_element();
    if (namesChanged || formulasChanged) {
        pugi::xml_node list = ChildNamed(root, "definedNames");
        if (list) {
            while (list.first_child()) {
                RemoveSubtree(list.first_child());
            }
        } else if (!names.empty()) {
            list = InsertOrderedChild(root, "definedNames", kWorkbookOrder);
        }
        if (list && names.empty()) {
            RemoveSubtree(list);
        } else if (list) {
            std::string elementName = SpreadsheetName(root, "definedName");
            for (const DefinedName& name : names) {
                pugi::xml_node entry = list.append_child(elementName.c_str());
                entry.append_attribute("name").set_value(name.name.c_str());
                if (name.localSheet >= 0) {
                    entry.append_attribute("localSheetId").set_value(name.localSheet);
                }
                for (const auto& [key, value] : name.attributes) {
                    entry.append_attribute(key.c_str()).set_value(value.c_str());
                }
                entry.append_child(pugi::node_pcdata).set_value(name.formula.Text().c_str());
            }
        }
    }
    if (formulasChanged) {
        pugi::xml_node calcPr = ChildNamed(root, "calcPr");
        if (!calcPr) {
            calcPr = InsertOrderedChild(root, "calcPr", kWorkbookOrder);
        }
        pugi::xml_attribute full = calcPr.attribute("fullCalcOnLoad");
        if (!full) {
            full = calcPr.append_attribute("fullCalcOnLoad");
        }
        full.set_value("1");
    }
    if (activeSheetChanged) {
        pugi::xml_node views = ChildNamed(root, "bookViews");
        if (!views) {
            views = InsertOrderedChild(root, "bookViews", kWorkbookOrder);
        }
        pugi::xml_node view = ChildNamed(views, "workbookView");
        if (!view) {
            view = views.append_child(SpreadsheetName(root, "workbookView").c_str());
        }
        pugi::xml_attribute tab = view.attribute("activeTab");
        if (!tab) {
            tab = view.append_attribute("activeTab");
        }
        tab.set_value(activeSheet);
    }
    out.SetPart(workbookPart, SerializeXml(document));
}

Package Workbook::Build()
{
    Package out = package;
    bool workbookPartChanged = namesChanged || formulasChanged || activeSheetChanged;
    bool anySheetWritten = false;
    pendingRows.Settle();
    if (activeSheetChanged) {
        MarkSelectedTab();
    }
    for (const auto& sheet : sheets) {
        sheet->WriteSelection();
        if (sheet->changed) {
            MatchTableColumnNames(*this, *sheet);
            Sheet* written = sheet.get();
            out.SetEntry(StreamedEntry(out.StoredName(sheet->partName),
                                       [written](const PartSink& sink) { WriteSheet(*written, sink); }));
            anySheetWritten = true;
        }
        sheet->WriteComments();
        auto writePart = [&](const SheetPart& part) {
            if (part.changed && part.document) {
                out.SetPart(part.name, SerializeXml(*part.document));
            }
        };
        writePart(sheet->comments);
        writePart(sheet->vml);
        writePart(sheet->drawing);
        for (const auto* parts : {&sheet->tables, &sheet->pivotTables, &sheet->controlProperties}) {
            for (const SheetPart& part : *parts) {
                writePart(part);
            }
        }
    }
    for (const ChartPart& chart : charts) {
        if (chart.part.changed) {
            out.SetPart(chart.part.name, SerializeXml(*chart.part.document));
        }
    }
    for (const SheetPart& cache : pivotCaches) {
        if (cache.changed) {
            out.SetPart(cache.name, SerializeXml(*cache.document));
        }
    }
    ContentTypes types(out);
    bool typesChanged = false;
    // A new part sits beside the workbook part, wherever that is.
    auto writeWorkbookPart = [&](const std::string& existing, const char* fileName,
                                 const std::function<void(const std::string&)>& setPart,
                                 const char* relationshipType, const char* contentType) {
        if (!existing.empty()) {
            setPart(existing);
            return;
        }
        std::string name = ResolvePartTarget(workbookPart, fileName);
        setPart(name);
        Relationships relationships(out, workbookPart);
        relationships.Add(relationshipType, fileName);
        relationships.WriteTo(out);
        types.SetOverride(name, contentType);
        typesChanged = true;
    };
    // Strings read from inline cells are needed only where a sheet is written.
    if (strings.Changed() && anySheetWritten) {
        writeWorkbookPart(
            stringsPart, "sharedStrings.xml",
            [&](const std::string& name) {
                const SharedStrings* written = &strings;
                out.SetEntry(StreamedEntry(out.StoredName(name),
                                           [written](const PartSink& sink) { written->Serialize(sink); }));
            },
            kSharedStringsType, kSharedStringsContent);
    }
    if (styles.Changed()) {
        writeWorkbookPart(
            stylesPart, "styles.xml", [&](const std::string& name) { out.SetPart(name, styles.Serialize()); },
            kStylesType, kStylesContent);
    }
    if (formulasChanged) {
        Relationships relationships(out, workbookPart);
        for (const Relationship& relationship : relationships.All()) {
            if (EndsWith(relationship.type, "/calcChain")) {
                std::string name = ResolvePartTarget(workbookPart, relationship.target);
                relationships.Remove(relationship.id);
                relationships.WriteTo(out);
                out.RemovePart(name);
                types.RemoveOverride(name);
                typesChanged = true;
            }
        }
    }
    if (workbookPartChanged) {
        WriteWorkbookPart(out);
    }
    std::string type = types.TypeOf(workbookPart);
    if (type == kTemplateMain || type == kMacroTemplateMain) {
        types.SetOverride(workbookPart, type == kTemplateMain ? kWorkbookMain : kMacroWorkbookMain);
        typesChanged = true;
    }
    if (typesChanged) {
        types.WriteTo(out);
    }
    return out;
}

}  // namespace office::spreadsheet
