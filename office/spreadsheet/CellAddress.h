// A1-style cell addresses and rectangles, as SpreadsheetML writes them in
// attributes (r, ref, sqref). Rows and columns are 1-based.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace office::spreadsheet {

inline constexpr int32_t kMaxRow = 1048576;
inline constexpr int32_t kMaxColumn = 16384;

struct CellAddress {
    int32_t row = 1;
    int32_t column = 1;
};

struct CellRect {
    int32_t top = 1;
    int32_t left = 1;
    int32_t bottom = 1;
    int32_t right = 1;

    bool Contains(int32_t row, int32_t column) const
    {
        return row >= top && row <= bottom && column >= left && column <= right;
    }
    int32_t Rows() const { return bottom - top + 1; }
    int32_t Columns() const { return right - left + 1; }
};

std::string ColumnLetters(int32_t column);
// "AB" -> 28; nullopt for anything that is not 1-3 letters within the sheet.
std::optional<int32_t> ParseColumnLetters(std::string_view letters);

std::string FormatCell(int32_t row, int32_t column);
// "B7" or "$B$7".
std::optional<CellAddress> ParseCell(std::string_view text);

// "A1:C9", or a single cell "B2" (a one-cell rectangle).
std::optional<CellRect> ParseRect(std::string_view text);
std::string FormatRect(const CellRect& rect);

// Space-separated list of rectangles (sqref). Unreadable pieces are dropped.
std::vector<CellRect> ParseRectList(std::string_view text);
std::string FormatRectList(const std::vector<CellRect>& rects);
// The same cells in the fewest pieces: rectangles that overlap or touch along
// a whole side become one. The first piece of each merge keeps its place.
std::vector<CellRect> MergeRectList(std::vector<CellRect> rects);

// The interval rule for n rows inserted above row `at`: an interval below
// moves, one that contains the row grows, one above stays. Ends are clamped
// to the last row of the sheet.
void ShiftRowInterval(int32_t& top, int32_t& bottom, int32_t at, int32_t count);
// A rectangle list (sqref text) with the interval rule applied to each piece.
std::string ShiftRectListText(std::string_view rects, int32_t at, int32_t count);
// A single row moves when it is at or below the insertion row.
int32_t ShiftRow(int32_t row, int32_t at, int32_t count);

}  // namespace office::spreadsheet
