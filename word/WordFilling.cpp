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

    HeldObject documents(session->GetProperty(application, u"Documents"));
    std::u16string templateName = AnsiToWide(templatePath);
    HeldObject document(session->CallMethodWithText(documents, u"Add", templateName.c_str()));
    std::string name = AnsiTextResult(session->GetProperty(document, u"Name"));

    std::string status = ReplaceFirst(progressText, "%1$s", name);
    SendMessageA(GetDlgItem(dialogWindow, StatusLineControl), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(status.c_str()));

    HeldObject window(session->GetProperty(document, u"ActiveWindow"));
    Element* fields = ChildByName(documentElement, "FIELDS");
    ExpandRecordRows(window, document, fields);

    HeldObject selection(session->GetProperty(window, u"Selection"));
    DropResult(session->CallMethodWithInts(selection, u"GoTo", GoToPage, GoToFirst));
    FillFormFields(document, window, fields);
    DropResult(session->CallMethodWithInts(selection, u"GoTo", GoToPage, GoToFirst));
    session->PutPropertyText(document, u"AttachedTemplate", "");
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
    HeldObject formFields(session->GetProperty(document, u"FormFields"));
    std::u16string fieldName = AnsiToWide(ElementName(field));
    VARIANT found;
    VariantInit(&found);
    try {
        found = session->CallMethodWithText(formFields, u"Item", fieldName.c_str());
    } catch (COMException) {
        // No form field of that name: the field element is skipped.
    }
    HeldObject formField(found);
    if (!formField) return;

    DropResult(session->CallMethod(formField, u"Select"));
    HeldObject selection(session->GetProperty(window, u"Selection"));
    HeldObject range(session->GetProperty(selection, u"Range"));
    HeldObject tables(session->GetProperty(range, u"Tables"));
    bool inTable = IntResult(session->GetProperty(tables, u"Count")) > 0;

    // In a table the block is the row, selected through the same selection
    // object; outside, the paragraph, selected through a fresh one.
    HeldObject paragraphSelection(inTable ? VARIANT{} : session->GetProperty(window, u"Selection"));
    IDispatch* target = inTable ? static_cast<IDispatch*>(selection) : paragraphSelection;
    if (inTable) {
        DropResult(session->CallMethod(target, u"SelectRow"));
    } else {
        HeldObject paragraphs(session->GetProperty(target, u"Paragraphs"));
        HeldObject paragraph(session->CallMethodWithInt(paragraphs, u"Item", 1));
        HeldObject paragraphRange(session->GetProperty(paragraph, u"Range"));
        DropResult(session->CallMethod(paragraphRange, u"Select"));
    }

    // Every field element named after a form field of the block is repeated with it.
    HeldObject blockFields(session->GetProperty(target, u"FormFields"));
    LONG blockCount = IntResult(session->GetProperty(blockFields, u"count"));
    for (LONG j = 1; j <= blockCount; ++j) {
        HeldObject blockField(session->CallMethodWithInt(blockFields, u"Item", j));
        std::string blockName = AnsiTextResult(session->GetProperty(blockField, u"Name"));
        if (Element* sibling = ChildByName(fields, blockName.c_str()))
            AddAttribute(sibling, CreateAttribute("EXPANDED", "true"));
    }

    DropResult(session->CallMethod(target, u"Copy"));
    if (inTable)
        DropResult(session->CallMethodWithInt(target, u"GoToNext", GoToLine));
    else
        DropResult(session->CallMethodWithInt(target, u"EndOf", ParagraphUnit));
    LONG copies = IntAttribute(field, "NUMRECORDS", 1);
    for (LONG k = 1; k < copies; ++k) DropResult(session->CallMethod(target, u"Paste"));
}

void WordGenerator::FillFormFields(IDispatch* document, IDispatch* window, Element* fields) {
    if (resultCode > 0 || CancelRequested) return;

    HeldObject formFields(session->GetProperty(document, u"FormFields"));
    LONG total = IntResult(session->GetProperty(formFields, u"Count"));
    LONG index = 1;
    // Exactly total rounds: a replaced field leaves the collection, so the
    // next one moves up to the same index.
    for (LONG round = 0; round < total; ++round) {
        HeldObject field(session->CallMethodWithInt(formFields, u"Item", index));
        if (IntResult(session->GetProperty(field, u"Type")) != TextFormField) {
            ++index;
            continue;
        }
        std::string name = AnsiTextResult(session->GetProperty(field, u"Name"));
        DropResult(session->CallMethod(field, u"Select"));
        HeldObject selection(session->GetProperty(window, u"Selection"));
        std::optional<std::string> value = TakeFieldValue(fields, name.c_str());
        if (value) session->PutPropertyText(selection, u"Text", ThroughAnsi(*value).c_str());
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
