// Starting the spreadsheet application, one workbook per document, showing the
// result to the user or closing it after a failure.
#include <string>

#include "automation/COMException.h"
#include "excel/ExcelGenerator.h"
#include "generator/AnsiText.h"
#include "generator/CancelRequested.h"
#include "generator/HeldObject.h"

namespace {
constexpr LONG WindowStateMinimized = -4140;
constexpr LONG WindowStateNormal = -4143;
}

ExcelGenerator::ExcelGenerator(Element* rootElement, HWND dialogWindow, const char* progressText)
    : Generator(rootElement, dialogWindow, progressText) {}

ExcelGenerator::~ExcelGenerator() {
    EmptyLists();
}

bool ExcelGenerator::Stopped() const {
    return resultCode > 0 || CancelRequested != 0;
}

void ExcelGenerator::Start() {
    if (resultCode > 0) return;
    session = new AutomationSession();
    application = session->StartApplication(ExcelApplication);
}

void ExcelGenerator::BuildDocument(Element*) {
    if (templatePath == nullptr || std::string(templatePath) == " ") resultCode = 1;
    if (Stopped()) return;
    // Field lookups of the previous document must not leak into this one.
    ForgetCachedField();

    HeldObject workbooks(session->GetProperty(application, OLESTR("Workbooks")));
    VARIANT workbook = session->CallMethodWithText(workbooks, OLESTR("Add"), AnsiToWide(templatePath).c_str());
    if (activeDocument) activeDocument->Release();
    activeDocument = workbook.vt == VT_DISPATCH ? workbook.pdispVal : nullptr;
    if (!activeDocument) VariantClear(&workbook);

    std::string name = AnsiTextResult(session->GetProperty(activeDocument, OLESTR("Name")));
    std::string status = ReplaceFirst(progressText, "%1$s", name);
    SendMessageA(GetDlgItem(dialogWindow, StatusLineControl), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(status.c_str()));

    WriteDocumentProperties();
    ScanNames();
    FillSingleValues();
    FillGroups();
    EmptyLists();
}

void ExcelGenerator::Show() {
    if (resultCode > 0) return;
    ReloadAddIn();
    session->PutPropertyInt(application, OLESTR("Visible"), 1);
    // Without a workbook (no document elements) there is nothing to select.
    if (CancelRequested == 0 && activeDocument) {
        HeldObject cell(session->GetProperty(application, OLESTR("ActiveCell")));
        DropResult(session->CallMethod(cell, OLESTR("Select")));
        DropResult(session->CallMethod(activeDocument, OLESTR("Activate")));
    }
    if (IntResult(session->GetProperty(application, OLESTR("WindowState"))) == WindowStateMinimized)
        session->PutPropertyInt(application, OLESTR("WindowState"), WindowStateNormal);
    DropResult(session->CallMethodWithText(application, OLESTR("SendKeys"), OLESTR("{ESC}")));
}

// The companion add-in may be missing or refuse; the workbooks are shown anyway.
void ExcelGenerator::ReloadAddIn() {
    try {
        HeldObject addIn(session->GetPropertyByText(application, OLESTR("AddIns"), OLESTR("VeskBaseAddin")));
        if (addIn) {
            session->PutPropertyInt(addIn, OLESTR("Installed"), 0);
            session->PutPropertyInt(addIn, OLESTR("Installed"), 1);
        }
    } catch (const COMException&) {
    }
}

void ExcelGenerator::Abandon() {
    if (activeDocument) DropResult(session->CallMethodWithBool(activeDocument, OLESTR("Close"), false));
    if (application) DropResult(session->CallMethod(application, OLESTR("Quit")));
}

void ExcelGenerator::ForgetCachedField() {
    cachedFieldName.clear();
    cachedField = nullptr;
    cachedRecords.clear();
}

void ExcelGenerator::EmptyLists() {
    recordOrder.clear();
    groupScanRows.clear();
    for (IDispatch* name : groupNames) name->Release();
    groupNames.clear();
    for (IDispatch* name : singleValueNames) name->Release();
    singleValueNames.clear();
    detailFields.clear();
    groupByFields.clear();
    recordFields.clear();
}
