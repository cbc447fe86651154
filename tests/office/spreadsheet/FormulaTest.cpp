// Formula references: what is recognised, and how insertions and copies move them.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "office/spreadsheet/Formula.h"
#include "office/spreadsheet/RowMap.h"

namespace office::spreadsheet {
namespace {

int32_t Resolve(std::string_view name)
{
    if (name == "Sheet1") return 0;
    if (name == "My Sheet") return 1;
    if (name == "Sheet2") return 2;
    return kSheetUnknown;
}

std::string Inserted(const char* text, int32_t at, int32_t count, int32_t sheet = 0, int32_t host = 0)
{
    Formula formula = Formula::Parse(text, host, Resolve);
    formula.InsertRows(sheet, at, count);
    return formula.Text();
}

TEST(FormulaTest, RangesMoveGrowOrStayByWhereRowsAreInserted)
{
    EXPECT_EQ(Inserted("SUM(C5:C9)", 5, 2), "SUM(C7:C11)");   // at the first row: moves
    EXPECT_EQ(Inserted("SUM(C5:C9)", 7, 2), "SUM(C5:C11)");   // inside: grows
    EXPECT_EQ(Inserted("SUM(C5:C9)", 9, 2), "SUM(C5:C11)");   // at the last row: grows
    EXPECT_EQ(Inserted("SUM(C5:C9)", 10, 2), "SUM(C5:C9)");   // right after: stays
    EXPECT_EQ(Inserted("SUM(A$2:A13)", 14, 1), "SUM(A$2:A13)");
    EXPECT_EQ(Inserted("$B$12+B11", 12, 3), "$B$15+B11");
    EXPECT_EQ(Inserted("Sheet1!$10:$15", 15, 2, 0, kSheetUnknown), "Sheet1!$10:$17");
    EXPECT_EQ(Inserted("SUM(C:C)", 1, 5), "SUM(C:C)");
    EXPECT_EQ(Inserted("C9:C5", 7, 2), "C11:C5");
}

TEST(FormulaTest, OnlyReferencesIntoTheShiftedSheetMove)
{
    EXPECT_EQ(Inserted("'My Sheet'!A10+Sheet1!A10+A10", 5, 1, 1), "'My Sheet'!A11+Sheet1!A10+A10");
    EXPECT_EQ(Inserted("[1]Sheet1!A10+'[2]Sheet1'!A10", 5, 1), "[1]Sheet1!A10+'[2]Sheet1'!A10");
    EXPECT_EQ(Inserted("Sheet1:Sheet2!A10", 5, 1), "Sheet1:Sheet2!A10");
    EXPECT_EQ(Inserted("Unknown!A10", 5, 1), "Unknown!A10");
}

TEST(FormulaTest, TextThatOnlyLooksLikeReferencesIsLeftAlone)
{
    for (const char* text : {"LOG10(100)", "tblExpenses[Amount]", "SUM(tbl[[#This Row],[A1]])",
                             "VeskSubGroupX.1", "Sales2020*2", "#REF!+1", "1.5E+10", "TRUE", "R1C1"}) {
        EXPECT_EQ(Inserted(text, 1, 3), text) << text;
    }
    EXPECT_EQ(Inserted("\"A10\"&B10", 1, 1), "\"A10\"&B11");
}

TEST(FormulaTest, CopiesMoveRelativePartsOnly)
{
    Formula formula = Formula::Parse("C14*$D$14+SUM(E$1:E14)+Sheet2!A14", 0, Resolve);
    formula.Rebase(3, 0);
    EXPECT_EQ(formula.Text(), "C17*$D$14+SUM(E$1:E17)+Sheet2!A17");
    formula.Rebase(-20, 0);
    EXPECT_EQ(formula.Text(), "#REF!*$D$14+SUM(#REF!)+Sheet2!#REF!");
    Formula shared = Formula::Parse("A1+B$1", 0, Resolve);
    shared.Rebase(2, 1);
    EXPECT_EQ(shared.Text(), "B3+C$1");
}

TEST(FormulaTest, SoleReferenceIsTheWholeFormula)
{
    EXPECT_TRUE(Formula::Parse("Sheet1!$A$1:$C$3", kSheetUnknown, Resolve).SoleReference());
    EXPECT_FALSE(Formula::Parse("Sheet1!$A$1+1", kSheetUnknown, Resolve).SoleReference());
    EXPECT_FALSE(Formula::Parse("Sheet1!$A$1,Sheet1!$B$2", kSheetUnknown, Resolve).SoleReference());
    EXPECT_FALSE(Formula::Parse("5", kSheetUnknown, Resolve).SoleReference());
}

TEST(FormulaTest, InsertionsPastTheLastRowMakeCellReferencesInvalidAndClampRanges)
{
    EXPECT_EQ(Inserted("A1048576", 10, 1), "#REF!");
    EXPECT_EQ(Inserted("SUM(A1:A1048576)", 10, 5), "SUM(A1:A1048576)");
}

// Insertions (at, count) folded into one map move every reference exactly as
// inserting them one after the other does.
TEST(FormulaTest, ARunOfInsertionsFoldedIntoOneMapMovesLikeEachInTurn)
{
    const char* text = "A1+A5+A9+SUM(B3:B12)+C20:C30+C30:C20+$D$100+Sheet2!A7+A1048570+SUM(E1:E1048576)+F1048500:F1048560";
    const std::vector<std::vector<std::pair<int32_t, int32_t>>> runs = {
        {{6, 2}, {9, 1}, {14, 3}, {21, 1}, {40, 2}},      // down the sheet, as a grouped report fills it
        {{40, 2}, {21, 1}, {14, 3}, {9, 1}, {1, 1}},      // up the sheet
        {{5, 4}, {6, 1}, {5, 2}, {12, 1}, {5, 1}},        // into rows inserted before, and at one row again
        {{10, 1}, {11, 1}, {12, 1}, {13, 1}, {9, 1}},     // at the row just below the last insertion
        {{1048000, 30}, {1048560, 10}, {2, 1048000}},     // pushing cells off the sheet and ranges to its end
    };
    for (const auto& run : runs) {
        Formula oneByOne = Formula::Parse(text, 0, Resolve);
        Formula folded = Formula::Parse(text, 0, Resolve);
        RowMap rows;
        bool changed = false;
        for (auto [at, count] : run) {
            changed |= oneByOne.InsertRows(0, at, count);
            rows.Insert(at, count);
        }
        EXPECT_EQ(folded.MoveRows(0, rows), changed);
        EXPECT_EQ(folded.Text(), oneByOne.Text()) << "first insertion at row " << run.front().first;
    }
}

}  // namespace
}  // namespace office::spreadsheet
