// Many workbooks from one template: untouched parts stay compressed and
// shared, finished workbooks wait as packages, and none is lost when a later
// one fails.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <fstream>

#include "office/package/ContentTypes.h"
#include "office/package/Package.h"
#include "tests/office/spreadsheet/ExcelDriver.h"
#include "tests/office/spreadsheet/WorkbookBuilder.h"

namespace excel_test {
namespace {

std::string CellText(const office::Package& written, const char* cell)
{
    const std::string& xml = written.Part("xl/worksheets/sheet1.xml");
    size_t at = xml.find(std::string("r=\"") + cell + "\"");
    return at == std::string::npos ? "" : xml.substr(at, xml.find("</c>", at) - at);
}

TEST(ManyWorkbooksTest, EarlierWorkbooksCanStillBeEditedAndAreWrittenAfterALaterFailure)
{
    ScratchFolder scratch;
    auto path = WorkbookBuilder().Template().Sheet("Data", "").Write(scratch.Path() / "form.xltx");
    ComPtr<IDispatch> excel = StartExcel();
    ComPtr<IDispatch> first = AddWorkbook(excel.Get(), path.string());
    Put(CellAt(Get(first.Get(), u"ActiveSheet").Get(), 1, 1).Get(), u"Value", Var(1));
    ComPtr<IDispatch> second = AddWorkbook(excel.Get(), path.string());
    Put(CellAt(Get(second.Get(), u"ActiveSheet").Get(), 1, 1).Get(), u"Value", Var(2));
    // The first workbook, put aside when the second came, takes more values.
    Put(CellAt(Get(first.Get(), u"ActiveSheet").Get(), 2, 1).Get(), u"Value", Var(3));

    std::ofstream(scratch.Path() / "broken.xltx") << "not a zip";
    Outcome refused = TryCall(Get(excel.Get(), u"Workbooks").Get(), u"Add",
                              {Var((scratch.Path() / "broken.xltx").c_str())});
    EXPECT_EQ(refused.hr, DISP_E_EXCEPTION);

    ShowWorkbooks(excel.Get());
    auto files = scratch.OutputFiles();
    ASSERT_EQ(files.size(), 2u);
    office::Package one = office::Package::Open(files[0]);
    office::Package two = office::Package::Open(files[1]);
    EXPECT_NE(CellText(one, "A1").find("<v>1</v>"), std::string::npos);
    EXPECT_NE(CellText(one, "A2").find("<v>3</v>"), std::string::npos);
    EXPECT_NE(CellText(two, "A1").find("<v>2</v>"), std::string::npos);
    EXPECT_EQ(CellText(two, "A2"), "");
    EXPECT_NE(one.Part("[Content_Types].xml").find("sheet.main+xml"), std::string::npos);
}

#if !defined(__SANITIZE_ADDRESS__)

size_t AddressSpaceInUse()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmSize:", 0) == 0) {
            return std::stoul(line.substr(7)) * 1024;
        }
    }
    return 0;
}

// Twenty workbooks from a template of 100 MB of untouched parts (100 KB
// compressed) in 200 MiB more address space: kept uncompressed, each would
// cost the whole 100 MB.
int FillWithLimitedMemory(const std::string& path)
{
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max = AddressSpaceInUse() + 200 * 1024 * 1024;
    if (setrlimit(RLIMIT_AS, &limit) != 0) {
        return 2;
    }
    ComPtr<IDispatch> excel = StartExcel();
    for (int i = 0; i < 20; ++i) {
        ComPtr<IDispatch> book = AddWorkbook(excel.Get(), path);
        if (!book) {
            return 3;
        }
        Put(CellAt(Get(book.Get(), u"ActiveSheet").Get(), 1, 1).Get(), u"Value", Var(i));
    }
    return TryPut(excel.Get(), u"Visible", Var(1)).hr == S_OK ? 0 : 4;
}

TEST(ManyWorkbooksTest, UntouchedPartsAreSharedCompressed)
{
    ScratchFolder scratch;
    auto built = WorkbookBuilder().Template().Sheet("Data", "").Write(scratch.Path() / "base.xltx");
    office::Package package = office::Package::Open(built);
    for (int i = 0; i < 100; ++i) {
        package.SetPart("xl/media/blob" + std::to_string(i) + ".bin", std::string(1000000, '\0'));
    }
    office::ContentTypes types(package);
    types.SetDefault("bin", "application/octet-stream");
    types.WriteTo(package);
    std::filesystem::path path = scratch.Path() / "big.xltx";
    package.SaveAs(path);
    EXPECT_EXIT(std::exit(FillWithLimitedMemory(path.string())), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(scratch.OutputFiles().size(), 20u);
    EXPECT_LT(std::filesystem::file_size(scratch.OutputFiles().back()), 200000u);
}

#endif

}  // namespace
}  // namespace excel_test
