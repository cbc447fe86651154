// A sheet and a shared string table far larger than the pieces they are
// compressed in while they are written come back whole, in every cell.
#include <gtest/gtest.h>

#include "office/package/Package.h"
#include "office/spreadsheet/SheetWriter.h"
#include "office/spreadsheet/Workbook.h"
#include "tests/office/spreadsheet/WorkbookBuilder.h"

namespace excel_test {
namespace {

using office::spreadsheet::Cell;
using office::spreadsheet::Workbook;

constexpr int32_t kRows = 20'000;

std::string Kept(int32_t row)
{
    return "<row r=\"" + std::to_string(row) + "\"><c r=\"A" + std::to_string(row) + "\"><v>" +
           std::to_string(row) + ".5</v></c></row>";
}

// Rows 1-3 come from the file; every row gets a new text in B, with markup
// and edge spaces that the table has to escape and preserve.
std::unique_ptr<Workbook> Filled(const std::filesystem::path& file)
{
    auto workbook = Workbook::FromPackage(office::Package::Open(file));
    auto& sheet = *workbook->sheets[0];
    for (int32_t row = 1; row <= kRows; ++row) {
        Cell& cell = sheet.rows.Get(row).Get(2);
        cell.type = Cell::Type::SharedString;
        cell.index = workbook->strings.Add(row % 1000 == 0 ? " <" + std::to_string(row) + "> & " : "t" + std::to_string(row));
    }
    sheet.changed = true;
    workbook->CellsChanged();
    return workbook;
}

void ExpectWhole(Workbook& again)
{
    auto& sheet = *again.sheets[0];
    ASSERT_EQ(sheet.rows.Size(), kRows);
    for (int32_t row = 1; row <= kRows; ++row) {
        const Cell* text = sheet.rows.Find(row)->Find(2);
        ASSERT_NE(text, nullptr) << row;
        ASSERT_EQ(text->type, Cell::Type::SharedString) << row;
        ASSERT_EQ(again.strings.Text(text->index),
                  row % 1000 == 0 ? " <" + std::to_string(row) + "> & " : "t" + std::to_string(row))
            << row;
    }
    for (int32_t row : {1, 3}) {
        const Cell* number = sheet.rows.Find(row)->Find(1);
        ASSERT_NE(number, nullptr);
        EXPECT_EQ(number->number, row + 0.5);
    }
    // What follows the cells in the part is still there.
    EXPECT_FALSE(sheet.merges.Empty());
}

TEST(StreamedSave, LargeSheetAndStringsComeBackWhole)
{
    ScratchFolder scratch;
    // One table with items, one written as an empty element: the new items go
    // before its closing tag or into it.
    for (const auto& strings : {std::vector<std::string>{"first", "second"}, std::vector<std::string>{}}) {
        auto file = WorkbookBuilder()
                        .Strings(strings)
                        .Sheet("Sheet1", Kept(1) + Kept(2) + Kept(3),
                               "<mergeCells count=\"1\"><mergeCell ref=\"C1:D1\"/></mergeCells>")
                        .Write(scratch.Path() / ("large" + std::to_string(strings.size()) + ".xlsx"));
        auto workbook = Filled(file);
        office::Package built = workbook->Build();
        auto again = Workbook::FromPackage(office::Package::FromBytes(built.ToBytes(), "again"));
        ExpectWhole(*again);
        EXPECT_EQ(built.Part(workbook->sheets[0]->partName), office::spreadsheet::WriteSheet(*workbook->sheets[0]));
    }
}

// A build writes its sheets only as it is written; compressed, as a parked
// workbook's is, it needs the workbook no more.
TEST(StreamedSave, ACompressedBuildOutlivesItsWorkbook)
{
    ScratchFolder scratch;
    auto file = WorkbookBuilder()
                    .Strings({"first"})
                    .Sheet("Sheet1", Kept(1) + Kept(2) + Kept(3),
                           "<mergeCells count=\"1\"><mergeCell ref=\"C1:D1\"/></mergeCells>")
                    .Write(scratch.Path() / "parked.xlsx");
    auto workbook = Filled(file);
    office::Package built = workbook->Build();
    built.Compress();
    workbook.reset();
    auto again = Workbook::FromPackage(office::Package::FromBytes(built.ToBytes(), "again"));
    ExpectWhole(*again);
}

}  // namespace
}  // namespace excel_test
