// The generator for spreadsheet templates: one new workbook per document
// element, filled through the template's defined names: document properties,
// single values, and sorted, grouped record blocks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "excel/BlockRegister.h"
#include "generator/Generator.h"

class ExcelGenerator : public Generator {
public:
    ExcelGenerator(Element* rootElement, HWND dialogWindow, const char* progressText);
    ~ExcelGenerator() override;

    void Start() override;
    void BuildDocument(Element* document) override;
    void Show() override;
    void Abandon() override;

protected:
    // Named ranges and groups.
    void WriteDocumentProperties();
    void ScanNames();
    void FillSingleValues();
    void FillGroups();
    void ClassifyGroupFields(const std::string& sheetCodeName, int32_t firstRow, int32_t lastRow,
                             int32_t shift);

    // Record filling.
    void SortRecords();
    void FillGroup(const std::string& groupName, int32_t firstRow, int32_t lastRow);
    void InsertDetailRows(IDispatch* sheet, IDispatch* names, Element* field, int32_t extraRows,
                          int32_t row);
    void NameSubGroup(const std::string& groupName, int32_t number, int32_t startRow,
                      int32_t rowCount);

    // Cell values.
    const char* FieldValue(const std::string& fieldName, IDispatch* range, bool advance);
    void WriteColumn(const std::string& fieldName, IDispatch* firstCell, IDispatch* target,
                     int32_t count);

    std::vector<Element*> recordFields;
    std::vector<Element*> groupByFields;
    std::vector<Element*> detailFields;
    std::vector<IDispatch*> singleValueNames;  // each holds one reference
    std::vector<IDispatch*> groupNames;        // each holds one reference
    std::vector<int32_t> groupScanRows;
    std::vector<int32_t> recordOrder;

private:
    bool Stopped() const;
    bool MatchFieldNames();
    void FindGroupNames();
    void EmptyLists();
    void ForgetCachedField();
    void ReloadAddIn();
    void OrderGroupByFieldsByRow();
    void AddTextProperty(IDispatch* properties, const std::string& name, const std::string& value);
    void InsertGroupBlock(BlockRegister& blocks, IDispatch* sheet, const std::string& groupName,
                          int32_t& subGroupNumber, int32_t record, int32_t current,
                          int32_t column, int32_t fieldRow, int32_t lastRow, const char* value);
    void WriteIntoBlock(IDispatch* sheet, int32_t current, int32_t column, int32_t fieldRow,
                        int32_t blockStart, const char* value);
    void WriteLongValues(const std::vector<Element*>& longValues, IDispatch* firstCell,
                         bool formatted);

    // The texts of cachedField's records by position, so that taking the next record
    // does not walk the child list from its start every time.
    std::vector<const char*> cachedRecords;
};
