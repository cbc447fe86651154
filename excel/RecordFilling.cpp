// Writing one group's records: detail rows multiplied and filled column by
// column, then a copy of the heading rows wherever a grouping value changes.
#include <cstring>
#include <optional>
#include <string>

#include "excel/ExcelGenerator.h"
#include "excel/HeldVariant.h"
#include "generator/AnsiText.h"
#include "generator/CancelRequested.h"
#include "generator/HeldObject.h"

namespace {
constexpr LONG ShiftDown = -4121;
constexpr LONG None = -4142;
constexpr LONG EdgeTop = 8;
constexpr size_t GroupPrefixLength = 9;
constexpr size_t SubGroupSuffixLength = 9;
}

void ExcelGenerator::FillGroup(const std::string& groupName, int32_t firstRow, int32_t lastRow) {
    if (Stopped()) return;
    HeldObject names(session->GetProperty(activeDocument, OLESTR("Names")));
    HeldObject sheet(session->GetProperty(activeDocument, OLESTR("ActiveSheet")));

    for (Element* field : detailFields) {
        std::string name = ElementName(field);
        HeldObject item(session->CallMethodWithText(names, OLESTR("Item"), AnsiToWide(name.c_str()).c_str()));
        HeldObject range(session->GetProperty(item, OLESTR("refersToRange")));
        int32_t count = IntAttribute(field, "NUMRECORDS", 1);
        int32_t row = IntResult(session->GetProperty(range, OLESTR("Row")));
        DropResult(session->CallMethod(sheet, OLESTR("Activate")));
        if (IntAttribute(field, "INSERTEDLINES", 1) < count)
            InsertDetailRows(sheet, names, field, count - 1, row);
        HeldObject target(session->GetPropertyByInts(range, OLESTR("Resize"), count, 1));
        WriteColumn(name, range, target, count);
        StepProgress(false);
        if (Stopped()) return;
    }

    NameSubGroup(groupName, 0, firstRow, lastRow - firstRow);

    BlockRegister blocks;
    int32_t subGroupNumber = 1;
    for (Element* field : groupByFields) {
        std::string name = ElementName(field);
        HeldObject item(session->CallMethodWithText(names, OLESTR("Item"), AnsiToWide(name.c_str()).c_str()));
        HeldObject range(session->GetProperty(item, OLESTR("refersToRange")));
        const char* previous = FieldValue(name, range, true);
        int32_t current = lastRow - 1;
        int32_t column = IntResult(session->GetProperty(range, OLESTR("Column")));
        int32_t count = IntAttribute(field, "NUMRECORDS", 1);
        int32_t fieldRow = IntAttribute(field, "EXCELROW", 1);

        for (int32_t record = 2; record <= count; ++record) {
            ++current;
            if (CancelRequested != 0) return;
            const char* value = FieldValue(name, nullptr, true);
            // A record the field does not have ends the group instead of heading an empty block.
            if (resultCode > 0) return;
            if (std::optional<int32_t> blockStart = blocks.Find(record, fieldRow)) {
                // An earlier grouping field's block for this record holds this field's row.
                WriteIntoBlock(sheet, current, column, fieldRow, *blockStart, value);
                current += (fieldRow - *blockStart) + 1 + (lastRow - fieldRow) - 1;
                previous = value;
            } else if (std::strcmp(value, previous) != 0) {
                InsertGroupBlock(blocks, sheet, groupName, subGroupNumber, record, current, column,
                                 fieldRow, lastRow, value);
                current += lastRow - fieldRow;
                previous = value;
            }
        }
    }
}

void ExcelGenerator::WriteIntoBlock(IDispatch* sheet, int32_t current, int32_t column, int32_t fieldRow,
                                    int32_t blockStart, const char* value) {
    HeldObject cells(session->GetProperty(sheet, OLESTR("Cells")));
    HeldObject selected(session->GetPropertyByInts(cells, OLESTR("Item"), current, column));
    DropResult(session->CallMethod(selected, OLESTR("Select")));
    HeldObject cell(session->GetPropertyByInts(cells, OLESTR("Item"), current + (fieldRow - blockStart) + 1, column));
    session->PutPropertyText(cell, OLESTR("Value"), value);
}

// Inserts, above the record's detail row at `current`, one empty row and a
// copy of the template rows from the field's row down to the row above the
// detail row, and writes the new value into the copy of the field's cell.
void ExcelGenerator::InsertGroupBlock(BlockRegister& blocks, IDispatch* sheet, const std::string& groupName,
                                      int32_t& subGroupNumber, int32_t record, int32_t current,
                                      int32_t column, int32_t fieldRow, int32_t lastRow,
                                      const char* value) {
    for (int32_t templateRow = fieldRow; templateRow <= lastRow - 2; ++templateRow)
        blocks.Add(record, templateRow, fieldRow);

    HeldObject rows(session->GetProperty(sheet, OLESTR("Rows")));
    {
        HeldObject target(session->GetPropertyByInt(rows, OLESTR("Item"), current));
        DropResult(session->CallMethod(target, OLESTR("Select")));
    }
    {
        HeldVariant top(session->GetPropertyByInt(rows, OLESTR("Item"), fieldRow));
        HeldVariant bottom(session->GetPropertyByInt(rows, OLESTR("Item"), lastRow - 2));
        HeldObject block(session->GetPropertyByVariants(application, OLESTR("Range"), top.value, bottom.value));
        DropResult(session->CallMethod(block, OLESTR("Copy")));
    }
    {
        HeldObject selection(session->GetProperty(application, OLESTR("Selection")));
        DropResult(session->CallMethodWithInt(selection, OLESTR("Insert"), ShiftDown));
    }
    {
        HeldObject emptyRow(session->GetPropertyByInt(rows, OLESTR("Item"), current));
        DropResult(session->CallMethod(emptyRow, OLESTR("Select")));
        DropResult(session->CallMethodWithInt(emptyRow, OLESTR("Insert"), ShiftDown));
    }
    {
        HeldObject emptyRow(session->GetPropertyByInt(rows, OLESTR("Item"), current));
        HeldObject interior(session->GetProperty(emptyRow, OLESTR("Interior")));
        session->PutPropertyInt(interior, OLESTR("ColorIndex"), None);
    }
    NameSubGroup(groupName, subGroupNumber, current + 1, lastRow - fieldRow);
    ++subGroupNumber;
    {
        HeldObject headingRow(session->GetPropertyByInt(rows, OLESTR("Item"), current + 1));
        HeldObject border(session->GetPropertyByInt(headingRow, OLESTR("Borders"), EdgeTop));
        session->PutPropertyInt(border, OLESTR("LineStyle"), None);
    }
    HeldObject cells(session->GetProperty(sheet, OLESTR("Cells")));
    HeldObject cell(session->GetPropertyByInts(cells, OLESTR("Item"), current + 1, column));
    session->PutPropertyText(cell, OLESTR("Value"), value);
}

void ExcelGenerator::InsertDetailRows(IDispatch* sheet, IDispatch* names, Element* field, int32_t extraRows,
                                      int32_t row) {
    if (Stopped()) return;
    std::string code = TextAttribute(field, "CODENAME", "");
    int32_t fieldRow = IntAttribute(field, "EXCELROW", 1);

    // The row is expanded once for all the detail fields it holds.
    for (Element* other : detailFields) {
        if (code != TextAttribute(other, "CODENAME", "")) continue;
        HeldObject item(session->CallMethodWithText(names, OLESTR("Item"), AnsiToWide(ElementName(other)).c_str()));
        HeldObject range(session->GetProperty(item, OLESTR("refersToRange")));
        if (IntResult(session->GetProperty(range, OLESTR("Row"))) == row)
            SetAttribute(other, "INSERTEDLINES", IntToText(extraRows + 1).c_str());
    }

    HeldObject rows(session->GetProperty(sheet, OLESTR("Rows")));
    {
        HeldObject detailRow(session->GetPropertyByInt(rows, OLESTR("Item"), fieldRow));
        DropResult(session->CallMethod(detailRow, OLESTR("Copy")));
    }
    {
        HeldVariant top(session->GetPropertyByInt(rows, OLESTR("Item"), row + 1));
        HeldVariant bottom(session->GetPropertyByInt(rows, OLESTR("Item"), row + extraRows));
        HeldObject target(session->GetPropertyByVariants(application, OLESTR("Range"), top.value, bottom.value));
        DropResult(session->CallMethod(target, OLESTR("Select")));
    }
    HeldObject selection(session->GetProperty(application, OLESTR("Selection")));
    DropResult(session->CallMethodWithInt(selection, OLESTR("Insert"), ShiftDown));
}

void ExcelGenerator::NameSubGroup(const std::string& groupName, int32_t number, int32_t startRow,
                                  int32_t rowCount) {
    if (Stopped()) return;
    std::string suffix = groupName.size() > GroupPrefixLength
                             ? groupName.substr(GroupPrefixLength, SubGroupSuffixLength)
                             : std::string();
    std::string subGroupName = "VeskSubGroup" + suffix + "." + IntToText(number);
    HeldObject rows(session->GetProperty(application, OLESTR("Rows")));
    HeldVariant top(session->GetPropertyByInt(rows, OLESTR("Item"), startRow));
    HeldVariant bottom(session->GetPropertyByInt(rows, OLESTR("Item"), startRow + rowCount - 1));
    HeldObject range(session->GetPropertyByVariants(application, OLESTR("Range"), top.value, bottom.value));
    session->PutPropertyText(range, OLESTR("Name"), subGroupName.c_str());
}
