// Every kind of stored cell (t = s, str, inlineStr, n, b, e, d; with and
// without <v>, <f>, <is>): what is read from it, what is written back when its
// row is written, and what is written once a text replaces it.
#include <gtest/gtest.h>

#include <pugixml.hpp>

#include "office/package/Package.h"
#include "office/package/PackageError.h"
#include "office/spreadsheet/CellEditing.h"
#include "office/spreadsheet/SheetWriter.h"
#include "office/spreadsheet/Workbook.h"
#include "tests/office/spreadsheet/WorkbookBuilder.h"

namespace excel_test {
namespace {

using office::spreadsheet::CellEditor;
using office::spreadsheet::CellValue;
using office::spreadsheet::Workbook;
using Kind = CellValue::Kind;

struct CellCase {
    const char* xml;       // the cell B1
    Kind read;             // what reading it gives
    const char* readText;  // the text read (texts and errors) or the number as text
    const char* keptType;  // its t once the row is written untouched ("" for none)
    const char* keptValue; // its <v> then ("" for none)
};

const CellCase kCases[] = {
    {R"(<c r="B1" t="s"><v>1</v></c>)", Kind::Text, "second", "s", "1"},
    {R"(<c r="B1" t="s"><v/></c>)", Kind::Empty, "", "", ""},
    {R"(<c r="B1" t="s"><v></v></c>)", Kind::Empty, "", "", ""},
    {R"(<c r="B1" t="s"/>)", Kind::Empty, "", "", ""},
    {R"(<c r="B1" t="str"><v>plain</v></c>)", Kind::Empty, "", "str", "plain"},
    {R"(<c r="B1" t="str"/>)", Kind::Empty, "", "", ""},
    {R"(<c r="B1" t="str"><f>"a"&amp;"b"</f><v>ab</v></c>)", Kind::Text, "ab", "str", "ab"},
    {R"(<c r="B1" t="inlineStr"><is><t>inline</t></is></c>)", Kind::Text, "inline", "s", "2"},
    {R"(<c r="B1" t="inlineStr"/>)", Kind::Empty, "", "", ""},
    {R"(<c r="B1"><is><t>untyped</t></is></c>)", Kind::Text, "untyped", "s", "2"},
    {R"(<c r="B1" t="n"><v>2.5</v></c>)", Kind::Number, "2.5", "", "2.5"},
    {R"(<c r="B1" t="n"><v></v></c>)", Kind::Empty, "", "", ""},
    {R"(<c r="B1"><v>7</v></c>)", Kind::Number, "7", "", "7"},
    {R"(<c r="B1"/>)", Kind::Empty, "", "", ""},
    {R"(<c r="B1"><f>1+1</f><v>2</v></c>)", Kind::Number, "2", "", "2"},
    {R"(<c r="B1"><f>1+1</f></c>)", Kind::Empty, "", "", ""},
    {R"(<c r="B1" t="b"><v>1</v></c>)", Kind::Boolean, "1", "b", "1"},
    {R"(<c r="B1" t="b"><v/></c>)", Kind::Empty, "", "", ""},
    {R"(<c r="B1" t="e"><v>#N/A</v></c>)", Kind::Error, "#N/A", "e", "#N/A"},
    {R"(<c r="B1" t="e"/>)", Kind::Empty, "", "", ""},
    {R"(<c r="B1" t="d"><v>2017-03-16</v></c>)", Kind::Empty, "", "d", "2017-03-16"},
    {R"(<c r="B1" t="d"><v/></c>)", Kind::Empty, "", "", ""},
};

std::string ReadText(const CellValue& value)
{
    if (value.kind == Kind::Number || value.kind == Kind::Boolean) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", value.number);
        return text;
    }
    return value.text;
}

// The written cell B1: its t attributes and the text of its <v>.
struct WrittenCell {
    std::vector<std::string> types;
    std::string value;
};

WrittenCell WrittenB1(Workbook& workbook)
{
    std::string xml = office::spreadsheet::WriteSheet(*workbook.sheets[0]);
    pugi::xml_document document;
    EXPECT_TRUE(document.load_string(xml.c_str())) << xml;
    WrittenCell written;
    pugi::xml_node cell = document.select_node("//c[@r='B1']").node();
    for (pugi::xml_attribute attribute : cell.attributes()) {
        if (std::string_view(attribute.name()) == "t") {
            written.types.emplace_back(attribute.value());
        }
    }
    written.value = cell.child("v").text().get();
    return written;
}

class CellKindsTest : public ::testing::Test {
protected:
    std::unique_ptr<Workbook> Open(const std::string& cell)
    {
        auto path = WorkbookBuilder()
                        .Strings({"first", "second"})
                        .Sheet("Sheet1", "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c>" + cell + "</row>")
                        .Write(scratch.Path() / ("kinds" + std::to_string(++files) + ".xlsx"));
        return Workbook::FromPackage(office::Package::Open(path));
    }

    ScratchFolder scratch;
    int files = 0;
};

TEST_F(CellKindsTest, EveryKindReadsAndWritesBackWithOneType)
{
    for (const CellCase& item : kCases) {
        SCOPED_TRACE(item.xml);
        auto workbook = Open(item.xml);
        CellEditor cells(*workbook, *workbook->sheets[0]);
        CellValue value = cells.Read(1, 2);
        EXPECT_EQ(value.kind, item.read);
        EXPECT_EQ(ReadText(value), item.readText);

        cells.PutText(1, 1, "neighbour");  // the row is written again
        WrittenCell kept = WrittenB1(*workbook);
        EXPECT_EQ(kept.types, item.keptType[0] ? std::vector<std::string>{item.keptType} : std::vector<std::string>{});
        EXPECT_EQ(kept.value, item.keptValue);

        cells.PutText(1, 2, "replaced");
        WrittenCell replaced = WrittenB1(*workbook);
        EXPECT_EQ(replaced.types, std::vector<std::string>{"s"});
        EXPECT_EQ(workbook->strings.Text(uint32_t(std::stoul(replaced.value))), "replaced");
        EXPECT_EQ(cells.Read(1, 2).text, "replaced");
    }
}

TEST_F(CellKindsTest, UnreadableValuesAreRefusedWithTheReason)
{
    const std::pair<const char*, const char*> refused[] = {
        {R"(<c r="B1" t="s"><v>abc</v></c>)", "holds 'abc' where a shared string number belongs"},
        {R"(<c r="B1" t="s"><v>9</v></c>)", "refers to shared string 9, which does not exist"},
        {R"(<c r="B1" t="n"><v>x1</v></c>)", "holds 'x1' where a number belongs"},
    };
    for (const auto& [xml, reason] : refused) {
        SCOPED_TRACE(xml);
        try {
            Open(xml);
            ADD_FAILURE() << "accepted";
        } catch (const office::PackageError& error) {
            EXPECT_NE(std::string(error.what()).find(reason), std::string::npos) << error.what();
        }
    }
}

}  // namespace
}  // namespace excel_test
