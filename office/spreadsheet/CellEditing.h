// Reading and writing single cells of the workbook model the way a user typing
// into the cell would: texts become numbers, dates, Booleans... unless the cell
// is formatted as Text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "office/spreadsheet/Workbook.h"

namespace office::spreadsheet {

struct CellValue {
    enum class Kind { Empty, Number, Text, Boolean, Error };
    Kind kind = Kind::Empty;
    double number = 0;
    std::string text;
};

class CellEditor {
public:
    CellEditor(Workbook& workbook, Sheet& sheet);

    void PutText(int32_t row, int32_t column, std::string_view text);
    // `format` is given to a General cell (dates, for instance); may be empty.
    void PutNumber(int32_t row, int32_t column, double value, std::string_view format = {});
    void PutBoolean(int32_t row, int32_t column, bool value);
    void PutError(int32_t row, int32_t column, std::string_view error);
    void Clear(int32_t row, int32_t column);

    CellValue Read(int32_t row, int32_t column) const;
    uint32_t StyleAt(int32_t row, int32_t column) const;
    void SetStyle(int32_t row, int32_t column, uint32_t style);

private:
    Cell& Prepare(int32_t row, int32_t column);
    bool IsText(uint32_t style);
    bool IsGeneral(uint32_t style);

    Workbook& workbook;
    Sheet& sheet;
    int currentYear;
    // Format kinds by cell format index: 0 unknown, 1 General, 2 Text, 3 other.
    std::vector<uint8_t> formatKinds;
};

}  // namespace office::spreadsheet
