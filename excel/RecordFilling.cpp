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
    HeldObject names(session->GetProperty(activeDocument, u"Names"));
    HeldObject sheet(session->GetProperty(activeDocument, u"ActiveSheet"));

    for (Element* field : detailFields) {
        std::string name = ElementName(field);
        HeldObject item(session->CallMethodWithText(names, u"Item", AnsiToWide(name.c_str()).c_str()));
        HeldObject range(session->GetProperty(item, u"refersToRange"));
        int32_t count = IntAttribute(field, "NUMRECORDS", 1);
        int32_t row = IntResult(session->GetProperty(range, u"Row"));
        DropResult(session->CallMethod(sheet, u"Activate"));
        if (IntAttribute(field, "INSERTEDLINES", 1) < count)
            InsertDetailRows(sheet, names, field, count - 1, row);
        HeldObject target(session->GetPropertyByInts(range, u"Resize", count, 1));
        WriteColumn(name, range, target, count);
        StepProgress(false);
        if (Stopped()) return;
    }

    NameSubGroup(groupName, 0, firstRow, lastRow - firstRow);

    BlockRegister blocks;
    int32_t subGroupNumber = 1;
    for (Element* field : groupByFields) {
        std::string name = ElementName(field);
        HeldObject item(session->CallMethodWithText(names, u"Item", AnsiToWide(name.c_str()).c_str()));
        HeldObject range(session->GetProperty(item, u"refersToRange"));
        const char* previous = FieldValue(name, range, true);
        int32_t current = lastRow - 1;
        int32_t column = IntResult(session->GetProperty(range, u"Column"));
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
    HeldObject cells(session->GetProperty(sheet, u"Cells"));
    HeldObject selected(session->GetPropertyByInts(cells, u"Item", current, column));
    DropResult(session->CallMethod(selected, u"Select"));
    HeldObject cell(session->GetPropertyByInts(cells, u"Item", current + (fieldRow - blockStart) + 1, column));
    session->PutPropertyText(cell, u"Value", value);
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

    HeldObject rows(session->GetProperty(sheet, u"Rows"));
    {
        HeldObject target(session->GetPropertyByInt(rows, u"Item", current));
        DropResult(session->CallMethod(target, u"Select"));
    }
    {
        HeldVariant top(session->GetPropertyByInt(rows, u"Item", fieldRow));
        HeldVariant bottom(session->GetPropertyByInt(rows, u"Item", lastRow - 2));
        HeldObject block(session->GetPropertyByVariants(application, u"Range", top.value, bottom.value));
        DropResult(session->CallMethod(block, u"Copy"));
    }
    {
        HeldObject selection(session->GetProperty(application, u"Selection"));
        DropResult(session->CallMethodWithInt(selection, u"Insert", ShiftDown));
    }
    {
        HeldObject emptyRow(session->GetPropertyByInt(rows, u"Item", current));
        DropResult(session->CallMethod(emptyRow, u"Select"));
        DropResult(session->CallMethodWithInt(emptyRow, u"Insert", ShiftDown));
    }
    {
        HeldObject emptyRow(session->GetPropertyByInt(rows, u"Item", current));
        HeldObject interior(session->GetProperty(emptyRow, u"Interior"));
        session->PutPropertyInt(interior, u"ColorIndex", None);
    }
    NameSubGroup(groupName, subGroupNumber, current + 1, lastRow - fieldRow);
    ++subGroupNumber;
    {
        HeldObject headingRow(session->GetPropertyByInt(rows, u"Item", current + 1));
        HeldObject border(session->GetPropertyByInt(headingRow, u"Borders", EdgeTop));
        session->PutPropertyInt(border, u"LineStyle", None);
    }
    HeldObject cells(session->GetProperty(sheet, u"Cells"));
    HeldObject cell(session->GetPropertyByInts(cells, u"Item", current + 1, column));
    session->PutPropertyText(cell, u"Value", value);
}

void ExcelGenerator::InsertDetailRows(IDispatch* sheet, IDispatch* names, Element* field, int32_t extraRows,
                                      int32_t row) {
    if (Stopped()) return;
    std::string code = TextAttribute(field, "CODENAME", "");
    int32_t fieldRow = IntAttribute(field, "EXCELROW", 1);

    // The row is expanded once for all the detail fields it holds.
    for (Element* other : detailFields) {
        if (code != TextAttribute(other, "CODENAME", "")) continue;
        HeldObject item(session->CallMethodWithText(names, u"Item", AnsiToWide(ElementName(other)).c_str()));
        HeldObject range(session->GetProperty(item, u"refersToRange"));
        if (IntResult(session->GetProperty(range, u"Row")) == row)
            SetAttribute(other, "INSERTEDLINES", IntToText(extraRows + 1).c_str());
    }

    HeldObject rows(session->GetProperty(sheet, u"Rows"));
    {
        HeldObject detailRow(session->GetPropertyByInt(rows, u"Item", fieldRow));
        DropResult(session->CallMethod(detailRow, u"Copy"));
    }
    {
        HeldVariant top(session->GetPropertyByInt(rows, u"Item", row + 1));
        HeldVariant bottom(session->GetPropertyByInt(rows, u"Item", row + extraRows));
        HeldObject target(session->GetPropertyByVariants(application, u"Range", top.value, bottom.value));
        DropResult(session->CallMethod(target, u"Select"));
    }
    HeldObject selection(session->GetProperty(application, u"Selection"));
    DropResult(session->CallMethodWithInt(selection, u"Insert", ShiftDown));
}

void ExcelGenerator::NameSubGroup(const std::string& groupName, int32_t number, int32_t startRow,
                                  int32_t rowCount) {
    if (Stopped()) return;
    std::string suffix = groupName.size() > GroupPrefixLength
                             ? groupName.substr(GroupPrefixLength, SubGroupSuffixLength)
                             : std::string();
    std::string subGroupName = "VeskSubGroup" + suffix + "." + IntToText(number);
    HeldObject rows(session->GetProperty(application, u"Rows"));
    HeldVariant top(session->GetPropertyByInt(rows, u"Item", startRow));
    HeldVariant bottom(session->GetPropertyByInt(rows, u"Item", startRow + rowCount - 1));
    HeldObject range(session->GetPropertyByVariants(application, u"Range", top.value, bottom.value));
    session->PutPropertyText(range, u"Name", subGroupName.c_str());
}
