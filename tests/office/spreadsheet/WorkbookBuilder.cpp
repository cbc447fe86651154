#include "tests/office/spreadsheet/WorkbookBuilder.h"

#include <stdlib.h>

#include <algorithm>

#include "office/package/Package.h"
#include "office/spreadsheet/CellAddress.h"
#include "office/spreadsheet/XmlNodes.h"
#include "tests/support/TestFolders.h"

namespace excel_test {
namespace {

constexpr char kMain[] = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr char kRel[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

constexpr char kStyles[] =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><numFmts count="1"><numFmt numFmtId="164" formatCode="0.0%"/></numFmts><fonts count="1"><font><sz val="11"/><name val="Calibri"/></font></fonts><fills count="3"><fill><patternFill patternType="none"/></fill><fill><patternFill patternType="gray125"/></fill><fill><patternFill patternType="solid"><fgColor rgb="FFFFFF00"/></patternFill></fill></fills><borders count="2"><border><left/><right/><top/><bottom/><diagonal/></border><border><left/><right/><top style="thin"><color auto="1"/></top><bottom/><diagonal/></border></borders><cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs><cellXfs count="5"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/><xf numFmtId="49" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/><xf numFmtId="2" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/><xf numFmtId="0" fontId="0" fillId="2" borderId="1" xfId="0" applyFill="1" applyBorder="1"/><xf numFmtId="14" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/></cellXfs><cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles></styleSheet>)";

std::string Escape(const std::string& text)
{
    std::string out;
    office::spreadsheet::AppendEscaped(out, text);
    return out;
}

}  // namespace

ScratchFolder::ScratchFolder()
{
    path = MakeTempFolder();
    std::filesystem::create_directory(Output());
    setenv("TOLVANE_OUTPUT_DIR", Output().c_str(), 1);
}

ScratchFolder::~ScratchFolder()
{
    std::error_code error;
    std::filesystem::remove_all(path, error);
}

std::vector<std::filesystem::path> ScratchFolder::OutputFiles() const
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(Output())) {
        files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

WorkbookBuilder& WorkbookBuilder::Sheet(std::string name, std::string rows, std::string after, std::string before)
{
    sheets.push_back({std::move(name), std::move(rows), std::move(after), std::move(before)});
    return *this;
}

WorkbookBuilder& WorkbookBuilder::Name(std::string name, std::string formula, int localSheet)
{
    std::string entry = "<definedName name=\"" + Escape(name) + "\"";
    if (localSheet >= 0) {
        entry += " localSheetId=\"" + std::to_string(localSheet) + "\"";
    }
    names.push_back(entry + ">" + Escape(formula) + "</definedName>");
    return *this;
}

WorkbookBuilder& WorkbookBuilder::Strings(std::vector<std::string> texts)
{
    strings = std::move(texts);
    return *this;
}

WorkbookBuilder& WorkbookBuilder::Comment(int sheet, std::string cell, std::string text)
{
    comments.push_back({sheet, std::move(cell), std::move(text)});
    return *this;
}

std::filesystem::path WorkbookBuilder::Write(const std::filesystem::path& file) const
{
    office::Package package;
    std::string types =
        R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Default Extension="vml" ContentType="application/vnd.openxmlformats-officedocument.vmlDrawing"/>)";
    types += std::string("<Override PartName=\"/xl/workbook.xml\" ContentType=\"") +
             (isMacroTemplate ? "application/vnd.ms-excel.template.macroEnabled.main+xml"
              : isTemplate    ? "application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml"
                              : "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml") +
             "\"/>";
    types += R"(<Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/>)";
    std::string workbookRels =
        R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rIdStyles" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>)";
    std::string sheetList;
    for (size_t i = 0; i < sheets.size(); ++i) {
        std::string n = std::to_string(i + 1);
        std::string part = "xl/worksheets/sheet" + n + ".xml";
        types += "<Override PartName=\"/" + part +
                 "\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>";
        workbookRels += "<Relationship Id=\"rId" + n +
                        "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
                        "Target=\"worksheets/sheet" + n + ".xml\"/>";
        sheetList += "<sheet name=\"" + Escape(sheets[i].name) + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
        std::string commentItems;
        std::string shapes;
        for (const CommentSpec& comment : comments) {
            if (comment.sheet != int(i)) {
                continue;
            }
            auto cell = office::spreadsheet::ParseCell(comment.cell);
            commentItems += "<comment ref=\"" + comment.cell + "\" authorId=\"0\"><text><r><t xml:space=\"preserve\">" +
                            Escape(comment.text) + "</t></r></text></comment>";
            std::string row = std::to_string(cell->row - 1);
            std::string column = std::to_string(cell->column - 1);
            shapes += "<v:shape type=\"#_x0000_t202\" style=\"position:absolute;visibility:hidden\"><x:ClientData "
                      "ObjectType=\"Note\"><x:Anchor>" + column + ", 15, " + row + ", 10, " + column + ", 15, " + row +
                      ", 4</x:Anchor><x:Row>" + row + "</x:Row><x:Column>" + column + "</x:Column></x:ClientData></v:shape>";
        }
        std::string after = sheets[i].after;
        if (!commentItems.empty()) {
            package.SetPart("xl/comments" + n + ".xml",
                            std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><comments xmlns=\"") +
                                kMain + "\"><authors><author>Tester</author></authors><commentList>" + commentItems +
                                "</commentList></comments>");
            package.SetPart("xl/drawings/vmlDrawing" + n + ".vml",
                            "<xml xmlns:v=\"urn:schemas-microsoft-com:vml\" xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
                            "xmlns:x=\"urn:schemas-microsoft-com:office:excel\">" + shapes + "</xml>");
            package.SetPart("xl/worksheets/_rels/sheet" + n + ".xml.rels",
                            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><Relationships "
                            "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rIdC\" "
                            "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/comments\" "
                            "Target=\"../comments" + n + ".xml\"/><Relationship Id=\"rIdV\" "
                            "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/vmlDrawing\" "
                            "Target=\"../drawings/vmlDrawing" + n + ".vml\"/></Relationships>");
            types += "<Override PartName=\"/xl/comments" + n +
                     ".xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.comments+xml\"/>";
            after += "<legacyDrawing r:id=\"rIdV\"/>";
        }
        package.SetPart(part, std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><worksheet xmlns=\"") +
                                  kMain + "\" xmlns:r=\"" + kRel + "\">" + sheets[i].before + "<sheetData>" + sheets[i].rows + "</sheetData>" +
                                  after + "</worksheet>");
    }
    if (!strings.empty()) {
        std::string items;
        for (const std::string& text : strings) {
            items += "<si><t xml:space=\"preserve\">" + Escape(text) + "</t></si>";
        }
        package.SetPart("xl/sharedStrings.xml", std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><sst xmlns=\"") +
                                                    kMain + "\" uniqueCount=\"" + std::to_string(strings.size()) + "\">" +
                                                    items + "</sst>");
        types += R"(<Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/>)";
        workbookRels += R"(<Relationship Id="rIdStrings" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>)";
    }
    std::string definedNames;
    for (const std::string& name : names) {
        definedNames += name;
    }
    if (!definedNames.empty()) {
        definedNames = "<definedNames>" + definedNames + "</definedNames>";
    }
    package.SetPart("[Content_Types].xml", types + "</Types>");
    package.SetPart("_rels/.rels",
                    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>)");
    package.SetPart("xl/workbook.xml", std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><workbook xmlns=\"") +
                                           kMain + "\" xmlns:r=\"" + kRel + "\"><sheets>" + sheetList + "</sheets>" +
                                           definedNames + "</workbook>");
    package.SetPart("xl/_rels/workbook.xml.rels", workbookRels + "</Relationships>");
    package.SetPart("xl/styles.xml", kStyles);
    package.SaveAs(file);
    return file;
}

}  // namespace excel_test
