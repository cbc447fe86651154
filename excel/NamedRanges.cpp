// Matching the fields against the workbook's defined names: single values,
// record fields and their rows, and the groups with their field split.
#include <string>

#include "automation/COMException.h"
#include "excel/ExcelGenerator.h"
#include "generator/AnsiText.h"
#include "generator/CancelRequested.h"
#include "generator/HeldObject.h"

namespace {
constexpr LONG PropertyTypeNumber = 1;
const char GroupPrefix[] = "VeskGroup";
const char WriteOnlyMarker[] = "Write-only";

// The result of a lookup that may fail (a name the workbook lacks, a name
// that refers to no range); a failure gives no object.
template <typename Call>
VARIANT OrNothing(Call call) {
    try {
        return call();
    } catch (const COMException&) {
        VARIANT nothing;
        VariantInit(&nothing);
        return nothing;
    }
}

void Keep(std::vector<IDispatch*>& list, IDispatch* object) {
    object->AddRef();
    list.push_back(object);
}
}

void ExcelGenerator::ScanNames() {
    if (Stopped()) return;
    if (MatchFieldNames()) FindGroupNames();
}

// The fields' own names: single values to fill and record fields with their
// rows. False when Cancel ended the pass.
bool ExcelGenerator::MatchFieldNames() {
    HeldObject names(session->GetProperty(activeDocument, OLESTR("names")));
    Element* field = NextChild(currentFields, nullptr);
    while (field) {
        if (CancelRequested != 0) return false;
        Element* next = NextChild(currentFields, field);
        int32_t count = IntAttribute(field, "NUMRECORDS", 1);
        HeldObject name(OrNothing([&] {
            return session->CallMethodWithText(names, OLESTR("Item"), AnsiToWide(ElementName(field)).c_str());
        }));
        HeldObject range(OrNothing([&] { return session->GetProperty(name, OLESTR("RefersToRange")); }));
        if (!name || !range) {
            field = next;
            continue;
        }
        int32_t row = IntResult(session->GetProperty(range, OLESTR("row")));
        if (row == 0) {
            DropResult(session->CallMethod(name, OLESTR("delete")));
            FreeElement(field);
        } else if (count == 1) {
            HeldObject comment(session->GetProperty(range, OLESTR("Comment")));
            std::string commentText;
            if (comment) commentText = AnsiTextResult(session->GetProperty(comment, OLESTR("Text")));
            if (commentText.find(WriteOnlyMarker) == std::string::npos) Keep(singleValueNames, name);
        } else {
            SetAttribute(field, "EXCELROW", IntToText(row).c_str());
            recordFields.push_back(field);
        }
        field = next;
    }
    return true;
}

// The group names, each with the first row of its range as it is now.
void ExcelGenerator::FindGroupNames() {
    HeldObject names(session->GetProperty(activeDocument, OLESTR("names")));
    int32_t total = IntResult(session->GetProperty(names, OLESTR("count")));
    for (int32_t i = 1; i <= total; ++i) {
        HeldObject name(session->CallMethodWithInt(names, OLESTR("Item"), i));
        std::string text = AnsiTextResult(session->GetProperty(name, OLESTR("name")));
        if (ChildByName(currentFields, text.c_str())) continue;
        if (!StartsWith(text, GroupPrefix)) continue;
        HeldObject range(OrNothing([&] { return session->GetProperty(name, OLESTR("refersToRange")); }));
        if (!range) continue;
        int32_t scanRow = IntResult(session->GetProperty(range, OLESTR("row")));
        Keep(groupNames, name);
        groupScanRows.push_back(scanRow);
    }
}

void ExcelGenerator::FillSingleValues() {
    for (IDispatch* name : singleValueNames) {
        if (Stopped()) return;
        std::string fieldName = AnsiTextResult(session->GetProperty(name, OLESTR("name")));
        HeldObject range(session->GetProperty(name, OLESTR("refersToRange")));
        FieldValue(fieldName, range, false);
        StepProgress(false);
    }
}

void ExcelGenerator::FillGroups() {
    if (Stopped()) return;
    HeldObject properties(session->GetProperty(activeDocument, OLESTR("CustomDocumentProperties")));
    for (size_t position = 0; position < groupNames.size(); ++position) {
        IDispatch* group = groupNames[position];
        // Read again now: groups filled before this one may have moved it down.
        HeldObject range(session->GetProperty(group, OLESTR("refersToRange")));
        std::string groupName = AnsiTextResult(session->GetProperty(group, OLESTR("name")));
        int32_t firstRow = IntResult(session->GetProperty(range, OLESTR("row")));
        HeldObject rows(session->GetProperty(range, OLESTR("rows")));
        int32_t rowCount = IntResult(session->GetProperty(rows, OLESTR("count")));
        int32_t lastRow = firstRow + rowCount - 1;
        int32_t shift = firstRow - groupScanRows[position];

        DropResult(session->CallMethodWithTextBoolIntInt(properties, OLESTR("Add"), AnsiToWide(groupName.c_str()).c_str(),
                                                         false, PropertyTypeNumber, rowCount));
        HeldObject worksheet(session->GetProperty(range, OLESTR("Worksheet")));
        std::string sheetCodeName = AnsiTextResult(session->GetProperty(worksheet, OLESTR("CodeName")));

        ClassifyGroupFields(sheetCodeName, firstRow, lastRow, shift);
        SortRecords();
        FillGroup(groupName, firstRow, lastRow);
    }
}

void ExcelGenerator::ClassifyGroupFields(const std::string& sheetCodeName, int32_t firstRow,
                                         int32_t lastRow, int32_t shift) {
    if (Stopped()) return;
    groupByFields.clear();
    detailFields.clear();
    HeldObject names(session->GetProperty(activeDocument, OLESTR("Names")));
    std::string rowKeys = "|";

    for (Element* field : recordFields) {
        int32_t row = IntAttribute(field, "EXCELROW", 1) + shift;
        if (row < firstRow || row > lastRow) continue;
        HeldObject name(session->CallMethodWithText(names, OLESTR("Item"), AnsiToWide(ElementName(field)).c_str()));
        HeldObject range(session->GetProperty(name, OLESTR("RefersToRange")));
        HeldObject worksheet(session->GetProperty(range, OLESTR("Worksheet")));
        std::string code = AnsiTextResult(session->GetProperty(worksheet, OLESTR("CodeName")));
        if (code != sheetCodeName) continue;

        SetAttribute(field, "EXCELROW", IntToText(row).c_str());
        if (IntAttribute(field, "GROUPBY", 1) == 1) {
            groupByFields.push_back(field);
        } else {
            SetAttribute(field, "CODENAME", code.c_str());
            detailFields.push_back(field);
            rowKeys += IntToText(row) + "|";
        }
    }

    // A grouping field on a row that also holds a detail field is a detail field.
    if (groupByFields.empty() || rowKeys == "|") return;
    for (size_t position = 0; position < groupByFields.size();) {
        Element* field = groupByFields[position];
        std::string rowKey = "|" + std::string(TextAttribute(field, "EXCELROW", "")) + "|";
        if (rowKeys.find(rowKey) != std::string::npos) {
            SetAttribute(field, "CODENAME", sheetCodeName.c_str());
            detailFields.push_back(field);
            groupByFields.erase(groupByFields.begin() + static_cast<std::ptrdiff_t>(position));
        } else {
            ++position;
        }
    }
}
