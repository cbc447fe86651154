// Data files for the spreadsheet generator's tests, and a generator whose
// working steps and lists the tests can reach.
#pragma once

#include <memory>
#include <string>

#include "datafile/DataFile.h"
#include "excel/ExcelGenerator.h"
#include "tests/datafile/TempFolder.h"

// A spreadsheet data file with one document whose FIELDS hold `fields`.
class ExcelTestData {
public:
    explicit ExcelTestData(const std::string& fields, const std::string& documentExtras = "",
                           const std::string& templatePath = "/templates/report.xltx")
    {
        std::string text = "<?xml version='1.0' encoding='UTF-8'?><export><META><TEMPLATE TYPE='2'>" +
                           templatePath +
                           "</TEMPLATE><TITLE>T</TITLE><PROGRESS>Filling %1$s</PROGRESS></META>"
                           "<DOCUMENTS><doc>" +
                           documentExtras + "<FIELDS>" + fields + "</FIELDS></doc></DOCUMENTS></export>";
        file = std::make_unique<DataFile>(folder.Write("data.xml", text).c_str());
    }

    Element* Root() const { return file->GetRoot(); }
    Element* Document() const { return ChildAt(ChildByName(Root(), "DOCUMENTS"), 0); }
    Element* Fields() const { return ChildByName(Document(), "FIELDS"); }
    Element* Field(const char* name) const { return ChildByName(Fields(), name); }

private:
    TempFolder folder;
    std::unique_ptr<DataFile> file;
};

class TestableExcelGenerator : public ExcelGenerator {
public:
    explicit TestableExcelGenerator(const ExcelTestData& data, HWND dialog = nullptr)
        : ExcelGenerator(data.Root(), dialog, "Filling %1$s")
    {
        currentDocument = data.Document();
        currentFields = data.Fields();
    }

    // Starts the (scripted) application and works on `workbook` as if it had
    // just been added, with the template path of the data file.
    void StartOn(IDispatch* workbook)
    {
        Start();
        ReadTemplate();
        workbook->AddRef();
        activeDocument = workbook;
    }

    using ExcelGenerator::ClassifyGroupFields;
    using ExcelGenerator::FieldValue;
    using ExcelGenerator::FillGroup;
    using ExcelGenerator::FillGroups;
    using ExcelGenerator::FillSingleValues;
    using ExcelGenerator::InsertDetailRows;
    using ExcelGenerator::NameSubGroup;
    using ExcelGenerator::ScanNames;
    using ExcelGenerator::SortRecords;
    using ExcelGenerator::WriteColumn;
    using ExcelGenerator::WriteDocumentProperties;
    using ExcelGenerator::detailFields;
    using ExcelGenerator::groupByFields;
    using ExcelGenerator::recordFields;
    using ExcelGenerator::recordOrder;
    using ExcelGenerator::singleValueNames;
    using ExcelGenerator::groupNames;
    using ExcelGenerator::groupScanRows;
    using Generator::resultCode;
};

inline const char* AttributeText(Element* element, const char* name)
{
    Attribute* attribute = AttributeByName(element, name);
    return attribute ? AttributeValue(attribute) : nullptr;
}
