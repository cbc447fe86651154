// Showing workbooks: what is written into the output folder, when, and that
// what the server did not change comes back byte for byte.
#include <gtest/gtest.h>

#include <fstream>

#include "office/package/Package.h"
#include "tests/office/spreadsheet/ExcelDriver.h"
#include "tests/office/spreadsheet/WorkbookBuilder.h"
#include "tests/support/TestFolders.h"
#include "tests/support/ZipOfParts.h"

namespace excel_test {
namespace {

std::string Shared(const std::string& path)
{
    return (SharedDir() / path).string();
}

class PresentTest : public ::testing::Test {
protected:
    std::filesystem::path Show()
    {
        std::filesystem::path shown = ShowWorkbooks(excel.Get());
        auto files = scratch.OutputFiles();
        EXPECT_FALSE(files.empty());
        return files.empty() ? std::filesystem::path() : shown;
    }

    ScratchFolder scratch;
    ComPtr<IDispatch> excel = StartExcel();
};

TEST_F(PresentTest, VisibleWritesEachWorkbookOnceUnderAFreeNameAndPrintsThePath)
{
    auto path = WorkbookBuilder().Template().Sheet("Sheet1", "").Write(scratch.Path() / "report.xltx");
    ComPtr<IDispatch> first = AddWorkbook(excel.Get(), path.string());
    ComPtr<IDispatch> second = AddWorkbook(excel.Get(), path.string());
    EXPECT_EQ(GetText(first.Get(), u"Name"), "report1");
    EXPECT_EQ(GetText(second.Get(), u"Name"), "report2");
    std::ofstream(scratch.Output() / "report1.xlsx") << "someone else's file";

    ::testing::internal::CaptureStdout();
    Put(excel.Get(), u"Visible", Var(1));
    std::string printed = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed, (scratch.Output() / "report1 (2).xlsx").string() + "\n" +
                           (scratch.Output() / "report2.xlsx").string() + "\n");
    std::ifstream kept(scratch.Output() / "report1.xlsx");
    std::string keptText;
    std::getline(kept, keptText);
    EXPECT_EQ(keptText, "someone else's file");

    // Shown workbooks are not written again.
    Put(excel.Get(), u"Visible", Var(0));
    Put(excel.Get(), u"Visible", Var(1));
    EXPECT_EQ(scratch.OutputFiles().size(), 3u);
    office::Package written = office::Package::Open(scratch.Output() / "report2.xlsx");
    EXPECT_NE(written.Part("[Content_Types].xml").find("spreadsheetml.sheet.main+xml"), std::string::npos);
}

TEST_F(PresentTest, MacroTemplatesGiveMacroWorkbooks)
{
    auto path = WorkbookBuilder().MacroTemplate().Sheet("Sheet1", "").Write(scratch.Path() / "macros.xltm");
    AddWorkbook(excel.Get(), path.string());
    std::filesystem::path shown = Show();
    EXPECT_EQ(shown.filename(), "macros1.xlsm");
    EXPECT_NE(office::Package::Open(shown).Part("[Content_Types].xml").find("application/vnd.ms-excel.sheet.macroEnabled.main+xml"),
              std::string::npos);
}

TEST_F(PresentTest, BlankWorkbooksAreNamedBookAndCanBeFilled)
{
    ComPtr<IDispatch> workbooks = Get(excel.Get(), u"Workbooks");
    ComPtr<IDispatch> first = Call(workbooks.Get(), u"Add");
    ComPtr<IDispatch> second = Call(workbooks.Get(), u"Add");
    EXPECT_EQ(GetText(first.Get(), u"Name"), "Book1");
    EXPECT_EQ(GetText(second.Get(), u"Name"), "Book2");
    Put(CellAt(Get(second.Get(), u"ActiveSheet").Get(), 2, 2).Get(), u"Value", Var("hello"));
    Call(first.Get(), u"Close", {Var(false)});
    std::filesystem::path shown = Show();
    EXPECT_EQ(shown.filename(), "Book2.xlsx");
    EXPECT_NE(office::Package::Open(shown).Part("xl/sharedStrings.xml").find("hello"), std::string::npos);
}

TEST_F(PresentTest, CloseWithoutSavingAndQuitWriteNothing)
{
    auto path = WorkbookBuilder().Sheet("Sheet1", "").Write(scratch.Path() / "book.xlsx");
    ComPtr<IDispatch> closed = AddWorkbook(excel.Get(), path.string());
    Put(CellAt(Get(closed.Get(), u"ActiveSheet").Get(), 1, 1).Get(), u"Value", Var("x"));
    Call(closed.Get(), u"Close", {Var(false)});
    EXPECT_EQ(TryGet(closed.Get(), u"Names").hr, DISP_E_EXCEPTION);
    AddWorkbook(excel.Get(), path.string());
    Call(excel.Get(), u"Quit");
    Put(excel.Get(), u"Visible", Var(1));
    EXPECT_TRUE(scratch.OutputFiles().empty());
    EXPECT_EQ(GetInt(Get(excel.Get(), u"Workbooks").Get(), u"Count"), 0);
}

TEST_F(PresentTest, SamplesOpenedAndShownWithoutChangeKeepEveryPart)
{
    for (const char* name : {"poi-45544.xlsx", "poi-48923.xlsx", "poi-54399.xlsx", "poi-56274.xlsx", "poi-61034.xlsx",
                             "poi-ForShifting.xlsx", "poi-WithVariousData.xlsx", "poi-conditional_formatting_cell_is.xlsx",
                             "poi-simple-monthly-budget.xlsx"}) {
        SCOPED_TRACE(name);
        for (const auto& file : scratch.OutputFiles()) {
            std::filesystem::remove(file);
        }
        ComPtr<IDispatch> book = AddWorkbook(excel.Get(), Shared(std::string("samples/") + name));
        std::filesystem::path shown = Show();
        Call(book.Get(), u"Close", {Var(false)});
        Put(excel.Get(), u"Visible", Var(0));
        office::Package original = office::Package::Open(Shared(std::string("samples/") + name));
        office::Package written = office::Package::Open(shown);
        EXPECT_EQ(written.PartNames(), original.PartNames());
        for (const std::string& part : original.PartNames()) {
            EXPECT_TRUE(written.Part(part) == original.Part(part)) << part;
        }
    }
}

TEST_F(PresentTest, PartsTheServerDidNotTouchComeBackUnchanged)
{
    ComPtr<IDispatch> book = AddWorkbook(excel.Get(), Shared("samples/poi-45544.xlsx"));
    ComPtr<IDispatch> sheet = Get(book.Get(), u"ActiveSheet");
    Put(CellAt(sheet.Get(), 40, 2).Get(), u"Value", Var("12.5"));
    Call(RowOf(sheet.Get(), 3).Get(), u"Insert", {Var(-4121)});
    std::filesystem::path shown = Show();
    office::Package original = office::Package::Open(Shared("samples/poi-45544.xlsx"));
    office::Package written = office::Package::Open(shown);
    std::string activePart = "xl/worksheets/sheet" + std::to_string(1) + ".xml";
    int unchanged = 0;
    for (const std::string& part : written.PartNames()) {
        if (!original.HasPart(part)) {
            continue;
        }
        bool touched = part == "[Content_Types].xml" || part.rfind("xl/workbook", 0) == 0 ||
                       part.rfind("xl/_rels", 0) == 0 || part.find("worksheets/sheet") != std::string::npos ||
                       part.find("comments") != std::string::npos || part.find("vmlDrawing") != std::string::npos ||
                       part.find("drawings/drawing") != std::string::npos || part == "xl/sharedStrings.xml" ||
                       part == "xl/styles.xml";
        if (!touched) {
            EXPECT_TRUE(written.Part(part) == original.Part(part)) << part;
            ++unchanged;
        }
    }
    EXPECT_GT(unchanged, 10);
    EXPECT_FALSE(written.HasPart("xl/calcChain.xml"));
    EXPECT_NE(written.Part("xl/workbook.xml").find("fullCalcOnLoad=\"1\""), std::string::npos);
}

TEST_F(PresentTest, AWorkbookPartAtTheRootGetsItsStringTableBesideIt)
{
    const std::string cell = R"(<c r="A1" t="inlineStr"><is><t>inline</t></is></c>)";
    std::filesystem::path root = scratch.Path() / "root.xlsx";
    std::ofstream(root, std::ios::binary) << ZipOfParts({
        {"[Content_Types].xml",
         R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
         R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
         R"(<Default Extension="xml" ContentType="application/xml"/>)"
         R"(<Override PartName="/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>)"
         R"(<Override PartName="/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/></Types>)"},
        {"_rels/.rels",
         R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" )"
         R"(Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="workbook.xml"/></Relationships>)"},
        {"workbook.xml",
         R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
         R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="S" sheetId="1" r:id="rId1"/></sheets></workbook>)"},
        {"_rels/workbook.xml.rels",
         R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" )"
         R"(Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="sheet1.xml"/></Relationships>)"},
        {"sheet1.xml", R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData><row r="1">)" +
                           cell + "</row></sheetData></worksheet>"},
    });
    AddWorkbook(excel.Get(), root.string());
    office::Package untouched = office::Package::Open(Show());
    EXPECT_EQ(untouched.PartNames(), office::Package::Open(root).PartNames());

    Put(excel.Get(), u"Visible", Var(0));
    ComPtr<IDispatch> book = AddWorkbook(excel.Get(), root.string());
    Put(CellAt(Get(book.Get(), u"ActiveSheet").Get(), 2, 1).Get(), u"Value", Var("typed"));
    office::Package written = office::Package::Open(ShowWorkbooks(excel.Get()));
    EXPECT_TRUE(written.HasPart("sharedStrings.xml"));
    EXPECT_FALSE(written.HasPart("xl/sharedStrings.xml"));
    EXPECT_NE(written.Part("_rels/workbook.xml.rels").find(R"(Target="sharedStrings.xml")"), std::string::npos);
    EXPECT_NE(written.Part("[Content_Types].xml").find(R"(PartName="/sharedStrings.xml")"), std::string::npos);
}

class BadTemplateTest : public PresentTest {
protected:
    void ExpectRefused(const std::filesystem::path& path, const std::string& reason)
    {
        Outcome outcome = TryCall(Get(excel.Get(), u"Workbooks").Get(), u"Add", {Var(path.c_str())});
        EXPECT_EQ(outcome.hr, DISP_E_EXCEPTION) << path;
        EXPECT_NE(outcome.description.find(path.filename().string()), std::string::npos) << outcome.description;
        EXPECT_NE(outcome.description.find(reason), std::string::npos) << outcome.description;
        Put(excel.Get(), u"Visible", Var(1));
        EXPECT_TRUE(scratch.OutputFiles().empty());
        EXPECT_EQ(GetInt(Get(excel.Get(), u"Workbooks").Get(), u"Count"), 0);
    }

    std::filesystem::path Zip(const char* file, std::vector<std::pair<std::string, std::string>> entries)
    {
        std::filesystem::path path = scratch.Path() / file;
        std::ofstream(path, std::ios::binary) << ZipOfParts(entries);
        return path;
    }
};

TEST_F(BadTemplateTest, MissingFile) { ExpectRefused(scratch.Path() / "absent.xltx", "does not exist"); }

TEST_F(BadTemplateTest, NotAZip)
{
    std::filesystem::path path = scratch.Path() / "text.xltx";
    std::ofstream(path) << "just some text, not a package";
    ExpectRefused(path, "not a zip");
}

TEST_F(BadTemplateTest, BinaryWorkbook)
{
    std::filesystem::path path = scratch.Path() / "old.xls";
    std::ofstream(path, std::ios::binary) << std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) << std::string(504, '\0');
    ExpectRefused(path, "only OOXML");
    std::filesystem::path renamed = scratch.Path() / "old.xlsx";
    std::filesystem::copy_file(path, renamed);
    ExpectRefused(renamed, "only OOXML");
}

TEST_F(BadTemplateTest, ZipBomb)
{
    ExpectRefused(Zip("bomb.xlsx", {{"[Content_Types].xml", std::string(3u << 20, ' ')}}), "zip bomb");
}

TEST_F(BadTemplateTest, EntryNamesLeavingThePackage)
{
    ExpectRefused(Zip("escape.xlsx", {{"[Content_Types].xml", "<Types/>"}, {"../evil.xml", "<x/>"}}), "../evil.xml");
}

TEST_F(BadTemplateTest, DimensionBeyondTheSheet)
{
    auto path = WorkbookBuilder()
                    .Sheet("Sheet1", "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>", "", "<dimension ref=\"A1:BBBB1\"/>")
                    .Write(scratch.Path() / "wide.xlsx");
    ExpectRefused(path, "A1:BBBB1");
}

TEST_F(BadTemplateTest, NotASpreadsheet)
{
    ExpectRefused(Shared("samples/poi-test.dotx"), "not a spreadsheet");
}

}  // namespace
}  // namespace excel_test
