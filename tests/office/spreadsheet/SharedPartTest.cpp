// Two sheets, or two relationships of one kind, that point at the same part
// are refused when the template is opened.
#include <gtest/gtest.h>

#include "office/package/Package.h"
#include "tests/office/spreadsheet/ExcelDriver.h"
#include "tests/office/spreadsheet/WorkbookBuilder.h"

namespace excel_test {
namespace {

class SharedPartTest : public ::testing::Test {
protected:
    // The two-sheet template with `from` replaced by `to` in one part.
    std::string Redirected(const std::string& part, const std::string& from, const std::string& to)
    {
        auto built = WorkbookBuilder()
                         .Sheet("First", "")
                         .Sheet("Second", "")
                         .Comment(0, "A1", "one")
                         .Comment(1, "A1", "two")
                         .Write(scratch.Path() / "base.xlsx");
        office::Package package = office::Package::Open(built);
        std::string xml = package.Part(part);
        xml.replace(xml.find(from), from.size(), to);
        package.SetPart(part, xml);
        std::filesystem::path path = scratch.Path() / "shared.xlsx";
        package.SaveAs(path);
        return path.string();
    }

    Outcome Add(const std::string& path)
    {
        return TryCall(Get(excel.Get(), u"Workbooks").Get(), u"Add", {Var(path.c_str())});
    }

    ScratchFolder scratch;
    ComPtr<IDispatch> excel = StartExcel();
};

TEST_F(SharedPartTest, SheetsSharingAPartAreRefused)
{
    Outcome outcome = Add(Redirected("xl/_rels/workbook.xml.rels", "worksheets/sheet2.xml", "worksheets/Sheet1.xml"));
    EXPECT_EQ(outcome.hr, DISP_E_EXCEPTION);
    EXPECT_NE(outcome.description.find("the sheet 'First' and the sheet 'Second' share the part xl/worksheets/Sheet1.xml"),
              std::string::npos)
        << outcome.description;
}

TEST_F(SharedPartTest, CommentsSharedByTwoSheetsAreRefused)
{
    Outcome outcome = Add(Redirected("xl/worksheets/_rels/sheet2.xml.rels", "../comments2.xml", "../comments1.xml"));
    EXPECT_EQ(outcome.hr, DISP_E_EXCEPTION);
    EXPECT_NE(outcome.description.find("share the part xl/comments1.xml"), std::string::npos) << outcome.description;
}

}  // namespace
}  // namespace excel_test
