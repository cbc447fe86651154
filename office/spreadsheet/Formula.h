// A formula kept as literal text with its cell references cut out, so that row
// insertions and copies adjust numbers instead of re-parsing text. Anything the
// reader does not recognise as a reference stays literal text, unchanged.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace office::spreadsheet {

class RowMap;

// A reference's sheet: a sheet index of the workbook, or one of these.
inline constexpr int32_t kSheetUnknown = -2;  // external, 3-D or unresolvable: never adjusted

struct FormulaRef {
    enum class Kind : uint8_t { Cell, Area, Rows, Columns };
    Kind kind = Kind::Cell;
    bool invalid = false;  // became #REF!
    bool absRow1 = false, absCol1 = false, absRow2 = false, absCol2 = false;
    int32_t sheet = kSheetUnknown;
    int32_t row1 = 0, col1 = 0, row2 = 0, col2 = 0;
    std::string prefix;  // sheet prefix as written, with its "!", or empty
};

// Resolves a sheet name (unquoted) to its index, or kSheetUnknown.
using SheetResolver = std::function<int32_t(std::string_view)>;

class Formula {
public:
    // `hostSheet` is the sheet unprefixed references point at (kSheetUnknown
    // for defined names, whose unprefixed references follow the active sheet).
    static Formula Parse(std::string_view text, int32_t hostSheet, const SheetResolver& resolve);

    std::string Text() const;

    // Rows inserted above `at` on `sheet`; true when a reference changed.
    bool InsertRows(int32_t sheet, int32_t at, int32_t count);
    // A run of row insertions on `sheet` at once, as the map folds them.
    bool MoveRows(int32_t sheet, const RowMap& rows);
    // The formula copied by (rows, columns): relative parts move; parts that
    // leave the sheet become #REF!.
    void Rebase(int32_t rows, int32_t columns);

    // The formula moved to another sheet: its unprefixed references follow it.
    void Rehost(int32_t from, int32_t to);

    const std::vector<FormulaRef>& Refs() const { return refs; }
    // The whole formula is one reference, nothing around it.
    std::optional<FormulaRef> SoleReference() const;

private:
    std::vector<std::string> literals;  // literals.size() == refs.size() + 1
    std::vector<FormulaRef> refs;
};

}  // namespace office::spreadsheet
