// Template parts nested a million elements deep go through every step the
// program takes (open, names, values, comments, properties, row insertion,
// writing) without exhausting the stack.
#include <gtest/gtest.h>

#include "office/package/Package.h"
#include "tests/office/spreadsheet/ExcelDriver.h"
#include "tests/office/spreadsheet/WorkbookBuilder.h"

namespace excel_test {
namespace {

constexpr size_t kDepth = 1000000;

std::string Nested(const std::string& element, const std::string& inside = "")
{
    std::string open = "<" + element + ">";
    std::string close = "</" + element + ">";
    std::string out;
    out.reserve(kDepth * (open.size() + close.size()) + inside.size());
    for (size_t i = 0; i < kDepth; ++i) {
        out += open;
    }
    out += inside;
    for (size_t i = 0; i < kDepth; ++i) {
        out += close;
    }
    return out;
}

// The nesting, inside an extension list, as the last child of the part's root element.
std::string DeepenRoot(std::string xml)
{
    xml.insert(xml.rfind("</"), "<extLst>" + Nested("a") + "</extLst>");
    return xml;
}

void AddPart(office::Package& package, const std::string& name, const std::string& contentType, const std::string& xml)
{
    package.SetPart(name, xml);
    std::string types = package.Part("[Content_Types].xml");
    types.insert(types.rfind("</Types>"), "<Override PartName=\"/" + name + "\" ContentType=\"" + contentType + "\"/>");
    package.SetPart("[Content_Types].xml", types);
}

// A template with a part of every kind the server reads: workbook, shared
// strings, styles, sheet, comments and their drawing, drawing, chart, table,
// pivot cache and document properties.
office::Package FullTemplate(const std::filesystem::path& folder)
{
    constexpr char kMain[] = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
    auto built = WorkbookBuilder()
                     .Template()
                     .Strings({"shared"})
                     .Sheet("Data",
                            "<row r=\"2\"><c r=\"A2\" t=\"s\"><v>0</v></c><c r=\"B2\" t=\"inlineStr\"><is>" +
                                Nested("r", "<t>inline</t>") + "</is></c></row>",
                            "<drawing r:id=\"rIdD\"/><tableParts count=\"1\"><tablePart r:id=\"rIdT\"/></tableParts>")
                     .Name("Field", "Data!$C$2")
                     .Comment(0, "A2", "note")
                     .Write(folder / "base.xlsx");
    office::Package package = office::Package::Open(built);
    const std::string rels = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    const std::string types = "application/vnd.openxmlformats-officedocument.";
    std::string sheetRels = package.Part("xl/worksheets/_rels/sheet1.xml.rels");
    sheetRels.insert(sheetRels.rfind("</Relationships>"),
                     "<Relationship Id=\"rIdD\" Type=\"" + rels + "drawing\" Target=\"../drawings/drawing1.xml\"/>"
                     "<Relationship Id=\"rIdT\" Type=\"" + rels + "table\" Target=\"../tables/table1.xml\"/>");
    package.SetPart("xl/worksheets/_rels/sheet1.xml.rels", sheetRels);
    AddPart(package, "xl/drawings/drawing1.xml", types + "drawing+xml",
            "<xdr:wsDr xmlns:xdr=\"http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing\"></xdr:wsDr>");
    package.SetPart("xl/drawings/_rels/drawing1.xml.rels",
                    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship "
                    "Id=\"rIdC\" Type=\"" + rels + "chart\" Target=\"../charts/chart1.xml\"/></Relationships>");
    AddPart(package, "xl/charts/chart1.xml", types + "drawingml.chart+xml",
            "<c:chartSpace xmlns:c=\"http://schemas.openxmlformats.org/drawingml/2006/chart\"><c:chart><c:ser><c:val>"
            "<c:numRef><c:f>Data!$A$2:$A$9</c:f></c:numRef></c:val></c:ser></c:chart></c:chartSpace>");
    AddPart(package, "xl/tables/table1.xml", types + "spreadsheetml.table+xml",
            std::string("<table ") + kMain + " id=\"1\" name=\"T\" displayName=\"T\" ref=\"A1:B2\"></table>");
    AddPart(package, "xl/pivotCache/pivotCacheDefinition1.xml", types + "spreadsheetml.pivotCacheDefinition+xml",
            std::string("<pivotCacheDefinition ") + kMain +
                "><cacheSource type=\"worksheet\"><worksheetSource ref=\"A1:B9\" sheet=\"Data\"/></cacheSource>"
                "</pivotCacheDefinition>");
    AddPart(package, "docProps/core.xml", "application/vnd.openxmlformats-package.core-properties+xml",
            "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
            "xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:title>t</dc:title></cp:coreProperties>");
    AddPart(package, "docProps/custom.xml", types + "custom-properties+xml",
            "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/custom-properties\"></Properties>");
    std::string root = package.Part("_rels/.rels");
    root.insert(root.rfind("</Relationships>"),
                "<Relationship Id=\"rIdP\" Type=\"http://schemas.openxmlformats.org/package/2006/relationships/"
                "metadata/core-properties\" Target=\"docProps/core.xml\"/><Relationship Id=\"rIdU\" Type=\"" + rels +
                    "custom-properties\" Target=\"docProps/custom.xml\"/>");
    package.SetPart("_rels/.rels", root);

    std::string comments = package.Part("xl/comments1.xml");
    comments.replace(comments.find("<r>"), comments.find("</r>") + 4 - comments.find("<r>"),
                     Nested("r", "<t>deep note</t>"));
    package.SetPart("xl/comments1.xml", comments);
    std::string strings = package.Part("xl/sharedStrings.xml");
    strings.insert(strings.rfind("</sst>"), "<si>" + Nested("r", "<t>deep</t>") + "</si>");
    package.SetPart("xl/sharedStrings.xml", strings);
    std::string workbook = package.Part("xl/workbook.xml");
    workbook.insert(workbook.find("</definedNames>"), Nested("a"));
    package.SetPart("xl/workbook.xml", workbook);
    return package;
}

TEST(DeepNestingTest, EveryPartKindNestedAMillionDeepIsFilledAndWritten)
{
    ScratchFolder scratch;
    office::Package package = FullTemplate(scratch.Path());
    for (const std::string& name : package.PartNames()) {
        if (name != "xl/workbook.xml") {
            package.SetPart(name, DeepenRoot(package.Part(name)));
        }
    }
    std::filesystem::path path = scratch.Path() / "deep.xltx";
    package.SaveAs(path);

    ComPtr<IDispatch> excel = StartExcel();
    ComPtr<IDispatch> book = AddWorkbook(excel.Get(), path.string());
    ASSERT_TRUE(book);
    ComPtr<IDispatch> sheet = Get(book.Get(), u"ActiveSheet");
    EXPECT_EQ(GetText(CellAt(sheet.Get(), 2, 2).Get(), u"Value"), "inline");
    EXPECT_EQ(GetText(Get(CellAt(sheet.Get(), 2, 1).Get(), u"Comment").Get(), u"Text"), "deep note");
    EXPECT_EQ(GetInt(Get(book.Get(), u"Names").Get(), u"Count"), 1);
    Call(Get(book.Get(), u"CustomDocumentProperties").Get(), u"Add",
         {Var("Source"), Var(false), Var(4), Var("test")});
    Put(CellAt(sheet.Get(), 2, 3).Get(), u"Value", Var("filled"));
    Call(RowSpan(excel.Get(), sheet.Get(), 3, 4).Get(), u"Insert", {Var(kShiftDown)});

    office::Package written = office::Package::Open(ShowWorkbooks(excel.Get()));
    const std::string& sheetXml = written.Part("xl/worksheets/sheet1.xml");
    size_t kept = 0;
    for (size_t at = sheetXml.find("<a>"); at != std::string::npos; at = sheetXml.find("<a>", at + 1)) {
        ++kept;
    }
    EXPECT_EQ(kept, kDepth - 1);  // the innermost one is written empty, <a />
    EXPECT_NE(written.Part("xl/charts/chart1.xml").find("Data!$A$2:$A$11"), std::string::npos);
    EXPECT_NE(written.Part("xl/sharedStrings.xml").find("filled"), std::string::npos);
}

}  // namespace
}  // namespace excel_test
