// What the spreadsheet application holds between calls: its open workbooks,
// the active one, the clipboard of Copy mode, and the application settings.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "office/package/FileCache.h"
#include "office/package/Package.h"
#include "office/spreadsheet/CellAddress.h"
#include "office/spreadsheet/Workbook.h"

namespace office::spreadsheet {

struct RowInsertionRecord {
    int32_t sheet;
    int32_t at;
    int32_t count;
};

class SpreadsheetDocument {
public:
    SpreadsheetDocument(std::unique_ptr<Workbook> model, std::string name, std::string extension);

    // Throws AutomationError once the workbook is closed. A parked workbook
    // is read back from its package first.
    Workbook& Model();
    // The workbook as a package with every change written into it.
    Package Built();
    // Keeps the workbook only as its package, changed parts compressed and
    // the others shared with the template, until it is used again: many open
    // workbooks then cost little more than their compressed changes.
    void Park();
    Sheet& SheetAt(int32_t index);
    const std::string& Name() const { return name; }
    const std::string& Extension() const { return extension; }
    bool Closed() const { return closed; }
    bool Parked() const { return parked.has_value(); }
    void Close();
    bool Presented() const { return presented; }
    void MarkPresented() { presented = true; }

    // Row insertions in order, so ranges taken earlier can follow them.
    void RecordInsertion(int32_t sheet, int32_t at, int32_t count) { insertions.push_back({sheet, at, count}); }
    size_t InsertionCount() const { return insertions.size(); }
    const RowInsertionRecord& InsertionAt(size_t i) const { return insertions[i]; }

private:
    std::unique_ptr<Workbook> model;
    std::optional<Package> parked;  // set while model is not
    std::string name;
    std::string extension;
    bool closed = false;
    bool presented = false;
    std::vector<RowInsertionRecord> insertions;
};

// A rectangle of a sheet that moves with rows inserted after it was taken.
class TrackedRect {
public:
    TrackedRect(std::shared_ptr<SpreadsheetDocument> document, int32_t sheet, CellRect rect);

    CellRect Current() const;
    int32_t Sheet() const { return sheet; }
    const std::shared_ptr<SpreadsheetDocument>& Document() const { return document; }

private:
    std::shared_ptr<SpreadsheetDocument> document;
    int32_t sheet;
    mutable CellRect rect;
    mutable size_t seen;
};

struct Clipboard {
    std::weak_ptr<SpreadsheetDocument> document;
    int32_t sheet = 0;
    CellRect rect;
};

struct ApplicationState {
    std::vector<std::shared_ptr<SpreadsheetDocument>> workbooks;
    std::shared_ptr<SpreadsheetDocument> active;
    std::map<std::string, int> namesTaken;  // per template base name; "" counts blank workbooks
    FileCache<Package> templates;  // their parts are shared by the workbooks made from them
    bool visible = false;
    bool enableEvents = true;
    int32_t windowState = -4143;
    std::optional<Clipboard> clipboard;

    // The active workbook; throws AutomationError when none is open.
    std::shared_ptr<SpreadsheetDocument> ActiveDocument() const;
    void Remove(const std::shared_ptr<SpreadsheetDocument>& document);
};

}  // namespace office::spreadsheet
