#include "tests/office/wordprocessor/TemplateBuilder.h"

#include "tests/support/ZipOfParts.h"

#include <fstream>

namespace word_test {
namespace {

int nextBookmark = 100;

std::string Begin(const std::string& name, const std::string& kind, const std::string& rPr) {
    return "<w:r>" + rPr + "<w:fldChar w:fldCharType=\"begin\"><w:ffData><w:name w:val=\"" + name +
           "\"/><w:enabled/><w:calcOnExit w:val=\"0\"/>" + kind + "</w:ffData></w:fldChar></w:r>";
}

std::string Wrap(const std::string& name, const std::string& begin, const std::string& rest) {
    if (name.empty()) return begin + rest;
    const std::string id = std::to_string(nextBookmark++);
    return begin + "<w:bookmarkStart w:id=\"" + id + "\" w:name=\"" + name + "\"/>" + rest + "<w:bookmarkEnd w:id=\"" +
           id + "\"/>";
}

}  // namespace

std::string TextField(const std::string& name, const std::string& result, const std::string& rPr) {
    return Wrap(name, Begin(name, "<w:textInput/>", rPr),
                "<w:r>" + rPr + "<w:instrText xml:space=\"preserve\"> FORMTEXT </w:instrText></w:r><w:r>" + rPr +
                    "<w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:rPr><w:noProof/></w:rPr><w:t>" + result +
                    "</w:t></w:r><w:r>" + rPr + "<w:fldChar w:fldCharType=\"end\"/></w:r>");
}

std::string CheckBox(const std::string& name, bool checked) {
    return Wrap(name,
                Begin(name, std::string("<w:checkBox><w:sizeAuto/><w:default w:val=\"") + (checked ? "1" : "0") +
                                "\"/></w:checkBox>", ""),
                "<w:r><w:instrText xml:space=\"preserve\"> FORMCHECKBOX </w:instrText></w:r>"
                "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>");
}

std::string DropDown(const std::string& name, const std::vector<std::string>& entries) {
    std::string list = "<w:ddList>";
    for (const auto& entry : entries) list += "<w:listEntry w:val=\"" + entry + "\"/>";
    list += "</w:ddList>";
    return Wrap(name, Begin(name, list, ""),
                "<w:r><w:instrText xml:space=\"preserve\"> FORMDROPDOWN </w:instrText></w:r>"
                "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>");
}

std::string TextRun(const std::string& text) {
    return "<w:r><w:t xml:space=\"preserve\">" + text + "</w:t></w:r>";
}

std::string Paragraph(const std::string& runs) {
    return "<w:p>" + runs + "</w:p>";
}

std::string Cell(const std::string& blocks) {
    return "<w:tc><w:tcPr><w:tcW w:w=\"2000\" w:type=\"dxa\"/></w:tcPr>" + blocks + "</w:tc>";
}

std::string Row(const std::vector<std::string>& cells) {
    std::string xml = "<w:tr>";
    for (const auto& cell : cells) xml += Cell(Paragraph(cell));
    return xml + "</w:tr>";
}

std::string TableOfRows(size_t columns, const std::string& rows) {
    std::string xml = "<w:tbl><w:tblPr><w:tblW w:w=\"0\" w:type=\"auto\"/></w:tblPr><w:tblGrid>";
    for (size_t i = 0; i < columns; ++i) xml += "<w:gridCol w:w=\"2000\"/>";
    return xml + "</w:tblGrid>" + rows + "</w:tbl>";
}

std::string Table(const std::vector<std::vector<std::string>>& rows) {
    std::string xml;
    for (const auto& row : rows) xml += Row(row);
    return TableOfRows(rows.empty() ? 0 : rows[0].size(), xml);
}

std::string ContentControl(const std::string& content, int id) {
    return "<w:sdt><w:sdtPr><w:id w:val=\"" + std::to_string(id) + "\"/></w:sdtPr><w:sdtContent>" + content +
           "</w:sdtContent></w:sdt>";
}

std::filesystem::path WriteTemplate(const std::filesystem::path& folder, const std::string& fileName,
                                    const std::string& body, Kind kind) {
    const std::string mainType =
        kind == Kind::Dotx   ? "application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml"
        : kind == Kind::Dotm ? "application/vnd.ms-word.template.macroEnabledTemplate.main+xml"
                             : "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml";
    const std::string macros = kind == Kind::Dotm
        ? "<Override PartName=\"/word/vbaProject.bin\" ContentType=\"application/vnd.ms-office.vbaProject\"/>"
          "<Override PartName=\"/word/vbaData.xml\" ContentType=\"application/vnd.ms-word.vbaData+xml\"/>"
        : "";
    std::vector<std::pair<std::string, std::string>> parts = {
        {"[Content_Types].xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Types "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"><Default Extension=\"rels\" "
         "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/><Default Extension=\"xml\" "
         "ContentType=\"application/xml\"/><Override PartName=\"/word/document.xml\" ContentType=\"" + mainType +
             "\"/><Override PartName=\"/word/settings.xml\" "
             "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml\"/>"
             "<Override PartName=\"/docProps/app.xml\" "
             "ContentType=\"application/vnd.openxmlformats-officedocument.extended-properties+xml\"/>"
             "<Override PartName=\"/docProps/core.xml\" "
             "ContentType=\"application/vnd.openxmlformats-package.core-properties+xml\"/>" + macros + "</Types>"},
        {"_rels/.rels",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Relationships "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId3\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties\" Target=\"docProps/app.xml\"/>"
         "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties\" Target=\"docProps/core.xml\"/>"
         "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" Target=\"word/document.xml\"/>"
         "</Relationships>"},
        {"word/document.xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<w:document "
         "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
         "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><w:body>" + body +
             "<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/></w:sectPr></w:body></w:document>"},
        {"word/_rels/document.xml.rels",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Relationships "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/settings\" Target=\"settings.xml\"/>" +
             std::string(kind == Kind::Dotm ? "<Relationship Id=\"rId9\" Type=\"http://schemas.microsoft.com/office/2006/relationships/vbaProject\" Target=\"vbaProject.bin\"/>" : "") +
             "</Relationships>"},
        {"word/settings.xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<w:settings "
         "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
         "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><w:zoom w:percent=\"100\"/>"
         "<w:defaultTabStop w:val=\"708\"/></w:settings>"},
        {"docProps/app.xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Properties "
         "xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\"><Template>Normal.dotm</Template>"
         "<Application>Test</Application></Properties>"},
        {"docProps/core.xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<cp:coreProperties "
         "xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
         "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:dcterms=\"http://purl.org/dc/terms/\" "
         "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"><dc:title>Test form</dc:title>"
         "<cp:revision>7</cp:revision></cp:coreProperties>"},
    };
    if (kind == Kind::Dotm) {
        parts.push_back({"word/vbaProject.bin", std::string("macro bytes\0\1\2", 14)});
        parts.push_back({"word/_rels/vbaProject.bin.rels",
                         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Relationships "
                         "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship "
                         "Id=\"rId1\" Type=\"http://schemas.microsoft.com/office/2006/relationships/wordVbaData\" "
                         "Target=\"vbaData.xml\"/></Relationships>"});
        parts.push_back({"word/vbaData.xml", "<?xml version=\"1.0\"?><wne:vbaSuppData xmlns:wne=\"http://schemas.microsoft.com/office/word/2006/wordml\"/>"});
    }
    const auto path = folder / fileName;
    std::ofstream(path, std::ios::binary) << ZipOfParts(parts);
    return path;
}

}  // namespace word_test
