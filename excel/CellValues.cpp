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

struct ArrayDestroyer {
    void operator()(SAFEARRAY* array) const { SafeArrayDestroy(array); }
};
using HeldArray = std::unique_ptr<SAFEARRAY, ArrayDestroyer>;

int WideUnits(const char* text, int length) {
    return MultiByteToWideChar(CP_UTF8, 0, text, length + 1, nullptr, 0);
}

void PutText(SAFEARRAY* array, LONG index, const char* text) {
    int length = static_cast<int>(std::strlen(text));
    int units = WideUnits(text, length);
    std::vector<WCHAR> wide(static_cast<size_t>(units > 0 ? units : 1), 0);
    if (units > 0) MultiByteToWideChar(CP_UTF8, 0, text, length + 1, wide.data(), units);
    BSTR value = SysAllocString(wide.data());
    LONG indices[2] = {index, 0};
    // More records than rows: the array has no such element; that record is dropped.
    SafeArrayPutElement(array, indices, value);
    SysFreeString(value);
}
}

const char* ExcelGenerator::FieldValue(const std::string& fieldName, IDispatch* range, bool advance) {
    if (resultCode > 0) return "";
    if (cachedFieldName.empty() || cachedFieldName != fieldName) {
        cachedFieldName = fieldName;
        cachedField = ChildByName(currentFields, fieldName.c_str());
        cachedRecords = Children(cachedField);
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
            value = ElementContents(cachedRecords[static_cast<size_t>(position)]);
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

    std::vector<Element*> records = Children(field);
    if (!groupByFields.empty()) {
        std::vector<Element*> ordered;
        ordered.reserve(recordOrder.size());
        for (int32_t k : recordOrder) {
            if (k < 0 || static_cast<size_t>(k) >= records.size()) {
                resultCode = 3;
                return;
            }
            ordered.push_back(records[static_cast<size_t>(k)]);
        }
        records.swap(ordered);
    }

    SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(count > 0 ? count : 0), 0}, {1, 0}};
    HeldArray array(SafeArrayCreate(VT_BSTR, 2, bounds));
    if (!array) throw COMException("SafeArrayCreate() failed");

    std::vector<Element*> longValues;
    LONG i = 0;
    for (Element* record : records) {
        const char* text = ElementContents(record);
        if (WideUnits(text, static_cast<int>(std::strlen(text))) > LongValueUnits) {
            LONG row = IntResult(session->GetProperty(firstCell, OLESTR("Row"))) + i;
            LONG column = IntResult(session->GetProperty(firstCell, OLESTR("Column")));
            SetAttribute(record, "USEINROW", IntToText(row).c_str());
            SetAttribute(record, "USEINCOLUMN", IntToText(column).c_str());
            longValues.push_back(record);
            text = "";
        }
        PutText(array.get(), i, text);
        ++i;
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
