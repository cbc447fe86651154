// Formula references: what is recognised, and how insertions and copies move them.
#include <gtest/gtest.h>

#include "office/spreadsheet/Formula.h"

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

}  // namespace
}  // namespace office::spreadsheet
