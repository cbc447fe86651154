#include "tests/office/wordprocessor/FillDriver.h"

#include "office/dispatch/Utf8.h"

namespace word_test {
namespace {

FieldData* Find(std::vector<FieldData>& fields, const std::string& name) {
    for (FieldData& field : fields) {
        if (field.name == name) return &field;
    }
    return nullptr;
}

void ExpandRecordRows(IDispatch* window, IDispatch* document, std::vector<FieldData>& fields) {
    for (size_t k = 0; k < fields.size(); ++k) {
        const int n = fields[k].numRecords;
        if (n <= 1 || fields[k].expanded) continue;
        ComPtr<IDispatch> formFields = Get(document, u"FormFields");
        std::u16string name = Utf8ToUtf16(fields[k].name);
        Outcome outcome{S_OK, ""};
        Var found = Invoke(formFields.Get(), u"Item", DISPATCH_METHOD, {Var(name.c_str())}, &outcome);
        if (FAILED(outcome.hr) || found.value.vt != VT_DISPATCH || !found.value.pdispVal) continue;
        IDispatch* field = found.value.pdispVal;
        Call(field, u"Select");
        ComPtr<IDispatch> selection = Get(window, u"Selection");
        ComPtr<IDispatch> range = Get(selection.Get(), u"Range");
        ComPtr<IDispatch> tables = Get(range.Get(), u"Tables");
        const LONG tableCount = GetInt(tables.Get(), u"Count");
        ComPtr<IDispatch> target;
        if (tableCount > 0) {
            target = selection;
            Call(target.Get(), u"SelectRow");
        } else {
            target = Get(window, u"Selection");
            ComPtr<IDispatch> paragraphs = Get(target.Get(), u"Paragraphs");
            ComPtr<IDispatch> paragraph = Call(paragraphs.Get(), u"Item", {Var(1)});
            ComPtr<IDispatch> paragraphRange = Get(paragraph.Get(), u"Range");
            Call(paragraphRange.Get(), u"Select");
        }
        ComPtr<IDispatch> rowFields = Get(target.Get(), u"FormFields");
        const LONG rowCount = GetInt(rowFields.Get(), u"count");
        for (LONG j = 1; j <= rowCount; ++j) {
            ComPtr<IDispatch> rowField = Call(rowFields.Get(), u"Item", {Var(int(j))});
            if (FieldData* other = Find(fields, GetText(rowField.Get(), u"Name"))) other->expanded = true;
        }
        Call(target.Get(), u"Copy");
        if (tableCount > 0) {
            Call(target.Get(), u"GoToNext", {Var(3)});
        } else {
            Invoke(target.Get(), u"EndOf", DISPATCH_METHOD, {Var(4)});
        }
        for (int m = 1; m < n; ++m) Call(target.Get(), u"Paste");
    }
}

void FillFormFields(IDispatch* document, IDispatch* window, std::vector<FieldData>& fields) {
    ComPtr<IDispatch> formFields = Get(document, u"FormFields");
    const LONG total = GetInt(formFields.Get(), u"Count");
    LONG i = 1;
    for (LONG pass = 0; pass < total; ++pass) {
        ComPtr<IDispatch> field = Call(formFields.Get(), u"Item", {Var(int(i))});
        if (GetInt(field.Get(), u"Type") != 70) {
            ++i;
            continue;
        }
        const std::string name = GetText(field.Get(), u"Name");
        Call(field.Get(), u"Select");
        ComPtr<IDispatch> selection = Get(window, u"Selection");
        std::string value;
        if (FieldData* data = Find(fields, name); data && !data->values.empty()) {
            value = data->values.front();
            data->values.pop_front();
        }
        std::u16string text = Utf8ToUtf16(value);
        Put(selection.Get(), u"Text", Var(text.c_str()));
    }
}

}  // namespace

ComPtr<IDispatch> BuildDocument(IDispatch* word, const std::string& templatePath, std::vector<FieldData> fields) {
    ComPtr<IDispatch> document = AddDocument(word, templatePath);
    GetText(document.Get(), u"Name");
    ComPtr<IDispatch> window = Get(document.Get(), u"ActiveWindow");
    ExpandRecordRows(window.Get(), document.Get(), fields);
    ComPtr<IDispatch> selection = Get(window.Get(), u"Selection");
    Call(selection.Get(), u"GoTo", {Var(1), Var(1)});
    FillFormFields(document.Get(), window.Get(), fields);
    Call(selection.Get(), u"GoTo", {Var(1), Var(1)});
    Put(document.Get(), u"AttachedTemplate", Var(u""));
    return document;
}

}  // namespace word_test
