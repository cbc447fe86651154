// Building one document: add it on the template, repeat the record rows,
// replace the text form fields by their values.
#include "automation/COMException.h"
#include "generator/CancelRequested.h"
#include "generator/AnsiText.h"
#include "generator/HeldObject.h"
#include "word/WordGenerator.h"

namespace {
constexpr LONG GoToPage = 1;          // wdGoToPage
constexpr LONG GoToFirst = 1;         // wdGoToFirst
constexpr LONG GoToLine = 3;          // wdGoToLine
constexpr LONG ParagraphUnit = 4;     // wdParagraph
constexpr LONG TextFormField = 70;    // wdFieldFormTextInput

// Through the ANSI code page and back, as every narrow text on its way to
// the word processor; with a single-byte code page the bytes stay the same.
std::string ThroughAnsi(const std::string& text) {
    return WideToAnsi(AnsiToWide(text.c_str()).c_str());
}
}

void WordGenerator::BuildDocument(Element* documentElement) {
    if (!templatePath) resultCode = 1;
    if (resultCode > 0 || CancelRequested) return;

    HeldObject documents(session->GetProperty(application, OLESTR("Documents")));
    std::basic_string<OLECHAR> templateName = AnsiToWide(templatePath);
    HeldObject document(session->CallMethodWithText(documents, OLESTR("Add"), templateName.c_str()));
    std::string name = AnsiTextResult(session->GetProperty(document, OLESTR("Name")));

    std::string status = ReplaceFirst(progressText, "%1$s", name);
    SendMessageA(GetDlgItem(dialogWindow, StatusLineControl), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(status.c_str()));

    HeldObject window(session->GetProperty(document, OLESTR("ActiveWindow")));
    Element* fields = ChildByName(documentElement, "FIELDS");
    ExpandRecordRows(window, document, fields);

    HeldObject selection(session->GetProperty(window, OLESTR("Selection")));
    DropResult(session->CallMethodWithInts(selection, OLESTR("GoTo"), GoToPage, GoToFirst));
    FillFormFields(document, window, fields);
    DropResult(session->CallMethodWithInts(selection, OLESTR("GoTo"), GoToPage, GoToFirst));
    session->PutPropertyText(document, OLESTR("AttachedTemplate"), "");
}

void WordGenerator::ExpandRecordRows(IDispatch* window, IDispatch* document, Element* fields) {
    if (resultCode > 0 || CancelRequested) return;

    for (Element* field = NextChild(fields, nullptr); field; field = NextChild(fields, field)) {
        bool expanded = AttributeByName(field, "EXPANDED") != nullptr;
        if (IntAttribute(field, "NUMRECORDS", 1) > 1 && !expanded) RepeatRecordBlock(window, document, fields, field);
        StepProgress(false);
    }
}

void WordGenerator::RepeatRecordBlock(IDispatch* window, IDispatch* document, Element* fields, Element* field) {
    HeldObject formFields(session->GetProperty(document, OLESTR("FormFields")));
    std::basic_string<OLECHAR> fieldName = AnsiToWide(ElementName(field));
    VARIANT found;
    VariantInit(&found);
    try {
        found = session->CallMethodWithText(formFields, OLESTR("Item"), fieldName.c_str());
    } catch (COMException) {
        // No form field of that name: the field element is skipped.
    }
    HeldObject formField(found);
    if (!formField) return;

    DropResult(session->CallMethod(formField, OLESTR("Select")));
    HeldObject selection(session->GetProperty(window, OLESTR("Selection")));
    HeldObject range(session->GetProperty(selection, OLESTR("Range")));
    HeldObject tables(session->GetProperty(range, OLESTR("Tables")));
    bool inTable = IntResult(session->GetProperty(tables, OLESTR("Count"))) > 0;

    // In a table the block is the row, selected through the same selection
    // object; outside, the paragraph, selected through a fresh one.
    HeldObject paragraphSelection(inTable ? VARIANT{} : session->GetProperty(window, OLESTR("Selection")));
    IDispatch* target = inTable ? static_cast<IDispatch*>(selection) : paragraphSelection;
    if (inTable) {
        DropResult(session->CallMethod(target, OLESTR("SelectRow")));
    } else {
        HeldObject paragraphs(session->GetProperty(target, OLESTR("Paragraphs")));
        HeldObject paragraph(session->CallMethodWithInt(paragraphs, OLESTR("Item"), 1));
        HeldObject paragraphRange(session->GetProperty(paragraph, OLESTR("Range")));
        DropResult(session->CallMethod(paragraphRange, OLESTR("Select")));
    }

    // Every field element named after a form field of the block is repeated with it.
    HeldObject blockFields(session->GetProperty(target, OLESTR("FormFields")));
    LONG blockCount = IntResult(session->GetProperty(blockFields, OLESTR("count")));
    for (LONG j = 1; j <= blockCount; ++j) {
        HeldObject blockField(session->CallMethodWithInt(blockFields, OLESTR("Item"), j));
        std::string blockName = AnsiTextResult(session->GetProperty(blockField, OLESTR("Name")));
        if (Element* sibling = ChildByName(fields, blockName.c_str()))
            AddAttribute(sibling, CreateAttribute("EXPANDED", "true"));
    }

    DropResult(session->CallMethod(target, OLESTR("Copy")));
    if (inTable)
        DropResult(session->CallMethodWithInt(target, OLESTR("GoToNext"), GoToLine));
    else
        DropResult(session->CallMethodWithInt(target, OLESTR("EndOf"), ParagraphUnit));
    LONG copies = IntAttribute(field, "NUMRECORDS", 1);
    for (LONG k = 1; k < copies; ++k) DropResult(session->CallMethod(target, OLESTR("Paste")));
}

void WordGenerator::FillFormFields(IDispatch* document, IDispatch* window, Element* fields) {
    if (resultCode > 0 || CancelRequested) return;

    HeldObject formFields(session->GetProperty(document, OLESTR("FormFields")));
    LONG total = IntResult(session->GetProperty(formFields, OLESTR("Count")));
    LONG index = 1;
    // Exactly total rounds: a replaced field leaves the collection, so the
    // next one moves up to the same index.
    for (LONG round = 0; round < total; ++round) {
        HeldObject field(session->CallMethodWithInt(formFields, OLESTR("Item"), index));
        if (IntResult(session->GetProperty(field, OLESTR("Type"))) != TextFormField) {
            ++index;
            continue;
        }
        std::string name = AnsiTextResult(session->GetProperty(field, OLESTR("Name")));
        DropResult(session->CallMethod(field, OLESTR("Select")));
        HeldObject selection(session->GetProperty(window, OLESTR("Selection")));
        std::optional<std::string> value = TakeFieldValue(fields, name.c_str());
        if (value) session->PutPropertyText(selection, OLESTR("Text"), ThroughAnsi(*value).c_str());
    }
}

std::optional<std::string> WordGenerator::TakeFieldValue(Element* fields, const char* name) {
    if (resultCode > 0 || CancelRequested) return std::nullopt;
    Element* field = ChildByName(fields, name);
    Element* value = NextChild(field, nullptr);
    if (!value) return std::string();
    std::string text = ElementContents(value);
    FreeElement(value);
    return text;
}
