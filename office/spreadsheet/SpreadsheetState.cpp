#include "office/spreadsheet/SpreadsheetState.h"

#include <algorithm>

#include "office/dispatch/AutomationError.h"
#include "office/package/PackageError.h"

namespace office::spreadsheet {

SpreadsheetDocument::SpreadsheetDocument(std::unique_ptr<Workbook> model, std::string name, std::string extension)
    : model(std::move(model)), name(std::move(name)), extension(std::move(extension))
{
}

Workbook& SpreadsheetDocument::Model()
{
    if (closed) {
        throw AutomationError("The workbook '" + name + "' has been closed");
    }
    if (parked) {
        try {
            model = Workbook::FromPackage(std::move(*parked));
        } catch (const PackageError& error) {
            throw AutomationError("Cannot reopen the workbook '" + name + "': " + error.what());
        }
        parked.reset();
    }
    return *model;
}

Package SpreadsheetDocument::Built()
{
    return parked ? *parked : Model().Build();
}

void SpreadsheetDocument::Park()
{
    if (closed || parked) {
        return;
    }
    // One that cannot be built stays as it is and reports why when shown.
    try {
        Package built = model->Build();
        built.Compress();
        parked = std::move(built);
    } catch (const PackageError&) {
        return;
    }
    model.reset();
}

void SpreadsheetDocument::Close()
{
    closed = true;
    parked.reset();
}

Sheet& SpreadsheetDocument::SheetAt(int32_t index)
{
    Workbook& workbook = Model();
    if (index < 0 || size_t(index) >= workbook.sheets.size()) {
        throw AutomationError("The workbook '" + name + "' has no sheet " + std::to_string(index + 1));
    }
    return *workbook.sheets[size_t(index)];
}

TrackedRect::TrackedRect(std::shared_ptr<SpreadsheetDocument> document, int32_t sheet, CellRect rect)
    : document(std::move(document)), sheet(sheet), rect(rect), seen(this->document->InsertionCount())
{
}

CellRect TrackedRect::Current() const
{
    size_t total = document->InsertionCount();
    for (; seen < total; ++seen) {
        const RowInsertionRecord& insertion = document->InsertionAt(seen);
        if (insertion.sheet == sheet && !(rect.top == 1 && rect.bottom == kMaxRow)) {
            ShiftRowInterval(rect.top, rect.bottom, insertion.at, insertion.count);
        }
    }
    return rect;
}

std::shared_ptr<SpreadsheetDocument> ApplicationState::ActiveDocument() const
{
    if (!active || active->Closed()) {
        throw AutomationError("No workbook is open");
    }
    return active;
}

void ApplicationState::Remove(const std::shared_ptr<SpreadsheetDocument>& document)
{
    std::erase(workbooks, document);
    if (active == document) {
        active = workbooks.empty() ? nullptr : workbooks.back();
    }
    if (clipboard && clipboard->document.lock() == document) {
        clipboard.reset();
    }
}

}  // namespace office::spreadsheet
