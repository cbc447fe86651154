// Putting data file values into cells: one value at a time, or a whole record
// column with one array assignment.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "automation/COMException.h"
#include "excel/ExcelGenerator.h"
#include "excel/HeldVariant.h"
#include "generator/AnsiText.h"
#include "generator/HeldObject.h"

namespace {
// A value longer than this in UTF-16 code units, its terminator counted, is
// refused in an array assignment, so it is written cell by cell.
constexpr int LongValueUnits = 911;

std::vector<Element*> Children(Element* element) {
    std::vector<Element*> children;
    for (Element* child = NextChild(element, nullptr); child; child = NextChild(element, child))
        children.push_back(child);
    return children;
}

// Taken in document order, where the records lie one after another in memory;
// read in the group's order straight from the tree, every record is a miss.
std::vector<const char*> RecordTexts(Element* field) {
    std::vector<const char*> texts;
    texts.reserve(ChildCount(field));
    for (Element* child = NextChild(field, nullptr); child; child = NextChild(field, child))
        texts.push_back(ElementContents(child));
    return texts;
}

struct ArrayDestroyer {
    void operator()(SAFEARRAY* array) const { SafeArrayDestroy(array); }
};
using HeldArray = std::unique_ptr<SAFEARRAY, ArrayDestroyer>;

// The text in UTF-16 in `wide`, which grows to hold it; the code units with
// the terminator, 0 when it cannot be converted.
int ToWide(const char* text, std::vector<WCHAR>& wide) {
    size_t length = std::strlen(text);
    // A UTF-8 text never takes more UTF-16 code units than it has bytes.
    if (wide.size() < length + 1) wide.resize(length + 1);
    return MultiByteToWideChar(CP_UTF8, 0, text, static_cast<int>(length + 1), wide.data(),
                               static_cast<int>(wide.size()));
}
}

const char* ExcelGenerator::FieldValue(const std::string& fieldName, IDispatch* range, bool advance) {
    if (resultCode > 0) return "";
    if (cachedFieldName.empty() || cachedFieldName != fieldName) {
        cachedFieldName = fieldName;
        cachedField = ChildByName(currentFields, fieldName.c_str());
        cachedRecords = RecordTexts(cachedField);
    }

    const char* value = "";
    if (cachedField && cachedRecords.empty()) {
        value = ElementContents(cachedField);
    } else if (cachedField) {
        int64_t position = 0;
        if (advance) {
            position = static_cast<int64_t>(IntAttribute(cachedField, "RECORDSDONE", -1)) + 1;
            SetAttribute(cachedField, "RECORDSDONE", std::to_string(position).c_str());
            if (!groupByFields.empty()) {
                // A position the record order does not reach is a record beyond the field's records.
                bool ordered = position >= 0 && position < static_cast<int64_t>(recordOrder.size());
                position = ordered ? recordOrder[static_cast<size_t>(position)] : -1;
            }
        }
        if (position < 0 || position >= static_cast<int64_t>(cachedRecords.size()))
            resultCode = 3;
        else
            value = cachedRecords[static_cast<size_t>(position)];
    }

    if (range) {
        session->PutPropertyText(range, OLESTR("Value"), value);
        HeldVariant format(session->GetProperty(range, OLESTR("NumberFormat")));
        if (IsFormatted(format.value)) {
            HeldVariant local(session->GetProperty(range, OLESTR("NumberFormatLocal")));
            session->PutPropertyVariant(range, OLESTR("NumberFormat"), local.value);
        }
    }
    return value;
}

void ExcelGenerator::WriteColumn(const std::string& fieldName, IDispatch* firstCell, IDispatch* target,
                                 int32_t count) {
    if (Stopped()) return;
    Element* field = ChildByName(currentFields, fieldName.c_str());
    if (!field || ChildCount(field) == 0) return;

    std::vector<const char*> texts = RecordTexts(field);
    std::vector<size_t> order;
    order.reserve(texts.size());
    if (groupByFields.empty()) {
        for (size_t k = 0; k < texts.size(); ++k) order.push_back(k);
    } else {
        for (int32_t k : recordOrder) {
            if (k < 0 || static_cast<size_t>(k) >= texts.size()) {
                resultCode = 3;
                return;
            }
            order.push_back(static_cast<size_t>(k));
        }
    }

    size_t rows = static_cast<size_t>(count > 0 ? count : 0);
    SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(rows), 0}, {1, 0}};
    HeldArray array(SafeArrayCreate(VT_BSTR, 2, bounds));
    if (!array) throw COMException("SafeArrayCreate() failed");

    // One column: the element of row i is the i-th. Records beyond the rows
    // have no element and are dropped, unless too long for the array.
    std::vector<size_t> longPositions;
    {
        void* data = nullptr;
        if (FAILED(SafeArrayAccessData(array.get(), &data))) throw COMException("SafeArrayAccessData() failed");
        BSTR* cells = static_cast<BSTR*>(data);
        std::vector<WCHAR> wide;
        for (size_t i = 0; i < order.size(); ++i) {
            int units = ToWide(texts[order[i]], wide);
            if (units > LongValueUnits) {
                longPositions.push_back(i);
                units = 1;
                wide[0] = 0;
            }
            if (i < rows) cells[i] = SysAllocStringLen(wide.data(), units > 0 ? static_cast<UINT>(units - 1) : 0);
        }
        SafeArrayUnaccessData(array.get());
    }

    std::vector<Element*> records = longPositions.empty() ? std::vector<Element*>() : Children(field);
    std::vector<Element*> longValues;
    for (size_t i : longPositions) {
        Element* record = records[order[i]];
        LONG row = IntResult(session->GetProperty(firstCell, OLESTR("Row"))) + static_cast<LONG>(i);
        LONG column = IntResult(session->GetProperty(firstCell, OLESTR("Column")));
        SetAttribute(record, "USEINROW", IntToText(row).c_str());
        SetAttribute(record, "USEINCOLUMN", IntToText(column).c_str());
        longValues.push_back(record);
    }

    session->PutPropertyInt(application, OLESTR("EnableEvents"), 0);
    VARIANT arrayValue;
    VariantInit(&arrayValue);
    arrayValue.vt = VT_ARRAY | VT_BSTR;
    arrayValue.parray = array.get();
    session->PutPropertyVariant(target, OLESTR("Value"), arrayValue);
    array.reset();
    HeldVariant format(session->GetProperty(firstCell, OLESTR("NumberFormat")));
    bool formatted = IsFormatted(format.value);
    if (formatted) {
        HeldVariant local(session->GetProperty(firstCell, OLESTR("NumberFormatLocal")));
        session->PutPropertyVariant(target, OLESTR("NumberFormat"), local.value);
    }
    session->PutPropertyInt(application, OLESTR("EnableEvents"), 1);

    if (!longValues.empty()) WriteLongValues(longValues, firstCell, formatted);
}

void ExcelGenerator::WriteLongValues(const std::vector<Element*>& longValues, IDispatch* firstCell,
                                     bool formatted) {
    HeldObject sheet(session->GetProperty(activeDocument, OLESTR("ActiveSheet")));
    HeldObject cells(session->GetProperty(sheet, OLESTR("Cells")));
    for (Element* record : longValues) {
        HeldObject cell(session->GetPropertyByInts(cells, OLESTR("Item"), IntAttribute(record, "USEINROW", -1),
                                                   IntAttribute(record, "USEINCOLUMN", -1)));
        session->PutPropertyText(cell, OLESTR("Value"), ElementContents(record));
        if (formatted) {
            HeldVariant local(session->GetProperty(firstCell, OLESTR("NumberFormatLocal")));
            session->PutPropertyVariant(cell, OLESTR("NumberFormat"), local.value);
        }
    }
}
