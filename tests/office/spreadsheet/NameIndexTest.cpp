// The defined-name index against the plain walk over every name it replaces:
// lookups, the collection's order and row insertions must agree with it
// while names are added, redefined and removed between insertions.
#include <gtest/gtest.h>

#include <random>

#include "office/spreadsheet/DefinedNames.h"

namespace office::spreadsheet {
namespace {

std::unique_ptr<Workbook> TwoSheets()
{
    auto workbook = std::make_unique<Workbook>();
    for (const char* title : {"Data", "Other"}) {
        auto sheet = std::make_unique<Sheet>();
        sheet->name = title;
        sheet->index = int32_t(workbook->sheets.size());
        workbook->sheets.push_back(std::move(sheet));
    }
    return workbook;
}

void AddName(Workbook& workbook, std::string name, std::string_view refersTo, int32_t localSheet = -1)
{
    DefinedName added;
    added.name = std::move(name);
    added.localSheet = localSheet;
    added.formula = Formula::Parse(refersTo, kSheetUnknown, workbook.Resolver());
    workbook.names.push_back(std::move(added));
    workbook.nameIndex.Appended(workbook.names);
}

std::vector<std::string> Texts(const Workbook& workbook)
{
    std::vector<std::string> texts;
    for (const DefinedName& name : workbook.names) {
        texts.push_back(name.formula.Text());
    }
    return texts;
}

TEST(NameIndexTest, LookupIsCaseInsensitiveByScopeFirstDefinitionWinsAndFollowsEveryChange)
{
    auto workbook = TwoSheets();
    AddName(*workbook, "Total", "Data!$B$9");
    AddName(*workbook, "_xlnm.Print_Area", "Data!$A$1:$D$9", 0);
    AddName(*workbook, "Local", "Other!$A$1", 1);
    AddName(*workbook, "TOTAL", "Data!$C$9");  // a duplicate, as some files hold: the first one counts
    EXPECT_EQ(FindName(*workbook, "total"), 0u);
    EXPECT_EQ(FindName(*workbook, "Data!print_area"), 1u);
    EXPECT_EQ(FindStoredName(*workbook, "_XLNM.PRINT_AREA", 0), 1u);
    EXPECT_EQ(FindStoredName(*workbook, "Print_Area", 0), std::nullopt);
    EXPECT_EQ(FindName(*workbook, "Local"), std::nullopt);  // Data is active
    workbook->activeSheet = 1;
    EXPECT_EQ(FindName(*workbook, "local"), 2u);
    EXPECT_EQ(FindName(*workbook, "'Other'!LOCAL"), 2u);

    EXPECT_EQ(NamesInOrder(*workbook), (std::vector<size_t>{2, 1, 0, 3}));
    DefineName(*workbook, "Alpha", 0, CellRect{3, 1, 3, 1});
    EXPECT_EQ(FindName(*workbook, "ALPHA"), 4u);
    EXPECT_EQ(NamesInOrder(*workbook), (std::vector<size_t>{4, 2, 1, 0, 3}));

    workbook->names.erase(workbook->names.begin());
    workbook->NamesChanged();
    EXPECT_EQ(FindName(*workbook, "Total"), 2u);  // now the former duplicate
    EXPECT_EQ(FindName(*workbook, "Alpha"), 3u);
    EXPECT_EQ(NamesInOrder(*workbook), (std::vector<size_t>{3, 1, 0, 2}));

    // A list changed without telling the index is still read right.
    workbook->names.erase(workbook->names.begin());
    EXPECT_EQ(FindName(*workbook, "Alpha"), 2u);
    EXPECT_EQ(FindName(*workbook, "Local"), 0u);
}

TEST(NameIndexTest, InsertionsMoveExactlyWhatThePlainWalkMoves)
{
    auto indexed = TwoSheets();
    auto plain = TwoSheets();
    std::mt19937 random(17);
    auto row = [&](int32_t most) { return int32_t(random() % uint32_t(most)) + 1; };
    auto both = [&](const std::string& name, const std::string& refersTo) {
        AddName(*indexed, name, refersTo);
        AddName(*plain, name, refersTo);
    };
    both("Columns", "Data!$B:$C");
    both("Elsewhere", "Other!$A$5:$B$9");
    both("Mixed", "Data!$A$3+Other!$A$300+Data!$B$40");
    both("Near", "Data!$A$1048570");
    both("Text", "\"constant\"");
    for (int step = 0; step < 400; ++step) {
        int32_t top = row(500);
        std::string name = "Part_" + std::to_string(step);
        std::string refersTo = "Data!$A$" + std::to_string(top) + ":$C$" + std::to_string(top + row(30) - 1);
        if (step % 7 == 3) {
            // Redefining keeps the name's place and takes the new rows.
            name = "Part_" + std::to_string(step / 2);
            DefineName(*indexed, name, 0, CellRect{top, 1, top + 1, 2});
            DefineName(*plain, name, 0, CellRect{top, 1, top + 1, 2});
        } else {
            both(name, refersTo);
        }
        int32_t sheet = step % 5 == 0 ? 1 : 0;
        int32_t at = row(600);
        int32_t count = row(step % 11 == 0 ? 4 : 1);
        indexed->nameIndex.InsertRows(indexed->names, sheet, at, count);
        for (DefinedName& each : plain->names) {
            each.formula.InsertRows(sheet, at, count);
        }
        ASSERT_EQ(Texts(*indexed), Texts(*plain)) << "step " << step;
    }
    EXPECT_EQ(indexed->names[3].formula.Text(), "Data!#REF!");  // pushed off the sheet
}

}  // namespace
}  // namespace office::spreadsheet
