#include "office/wordprocessor/DocumentObjects.h"

#include "office/dispatch/Utf8.h"
#include "office/package/PathText.h"
#include "office/wordprocessor/FormFieldObjects.h"
#include "office/wordprocessor/SelectionEditing.h"
#include "office/wordprocessor/SelectionObjects.h"
#include "office/wordprocessor/WordError.h"

#include <algorithm>

namespace office::word {

OpenDocument::OpenDocument(std::string name, std::shared_ptr<const WordTemplate> source)
    : document(std::move(name), std::move(source)), selection_(StartOfDocument(document)) {}

Span& OpenDocument::Selection() {
    if (selectionParks_ != document.Parks()) {
        selection_ = StartOfDocument(document);
        selectionParks_ = document.Parks();
    }
    return selection_;
}

const MemberTable<DocumentsObject>& DocumentsObject::Members() {
    static const MemberTable<DocumentsObject> table = {
        {OLESTR("Add"), Kind::Method, &DocumentsObject::Add, 0, 4, 0xe},
        {OLESTR("Count"), Kind::Get,
         [](DocumentsObject& self, Call& call) { call.ReturnInt(static_cast<LONG>(self.state_->documents.size())); }},
        {OLESTR("Item"), Kind::Method, &DocumentsObject::Item, 1, 1},
    };
    return table;
}

void DocumentsObject::Add(Call& call) {
    if (!call.Has(0)) throw AutomationError("Documents.Add: a template path is required (there is no default template)");
    const std::string path = call.Utf8(0);
    if (path.empty()) throw AutomationError("Documents.Add: the template path is empty");
    std::shared_ptr<const WordTemplate> source;
    try {
        source = state_->templates.Get(PathFromUtf8(path), LoadWordTemplate);
    } catch (const WordError& error) {
        throw AutomationError(std::string("Documents.Add: ") + error.what());
    }
    const std::string name = "Document" + std::to_string(++state_->documentsAdded);
    auto open = std::make_shared<OpenDocument>(name, source);
    // The program fills one document after the other: those before the new
    // one are done and wait only to be shown.
    for (const OpenDocumentPtr& earlier : state_->documents) earlier->document.Park();
    state_->documents.push_back(open);
    state_->active = open;
    call.ReturnObject(MakeObject<DocumentObject>(state_, open));
}

void DocumentsObject::Item(Call& call) {
    Index index = call.IndexArg(0);
    const auto& documents = state_->documents;
    if (!index.byName) {
        if (index.number < 1 || static_cast<size_t>(index.number) > documents.size()) {
            throw AutomationError("Documents.Item: there is no document " + std::to_string(index.number));
        }
        call.ReturnObject(MakeObject<DocumentObject>(state_, documents[static_cast<size_t>(index.number - 1)]));
        return;
    }
    const std::string name = Utf16ToUtf8(index.name);
    for (const OpenDocumentPtr& open : documents) {
        if (FoldName(open->document.Name()) == FoldName(name)) {
            call.ReturnObject(MakeObject<DocumentObject>(state_, open));
            return;
        }
    }
    throw AutomationError("Documents.Item: there is no document named '" + name + "'");
}

const MemberTable<DocumentObject>& DocumentObject::Members() {
    static const MemberTable<DocumentObject> table = {
        {OLESTR("Name"), Kind::Get, [](DocumentObject& self, Call& call) { call.ReturnUtf8(self.open_->document.Name()); }, 0,
         0, 0x0},
        {OLESTR("FullName"), Kind::Get,
         [](DocumentObject& self, Call& call) { call.ReturnUtf8(self.open_->document.Name()); }},
        {OLESTR("Path"), Kind::Get, [](DocumentObject&, Call& call) { call.ReturnText(OLESTR("")); }},
        {OLESTR("Saved"), Kind::Get, [](DocumentObject&, Call& call) { call.ReturnBool(false); }},
        {OLESTR("ActiveWindow"), Kind::Get,
         [](DocumentObject& self, Call& call) { call.ReturnObject(MakeObject<WindowObject>(self.state_, self.open_)); },
         0, 0, 0x2a},
        {OLESTR("FormFields"), Kind::Get,
         [](DocumentObject& self, Call& call) {
             call.ReturnObject(MakeObject<FormFieldsObject>(self.state_, self.open_));
         },
         0, 0, 0x15},
        {OLESTR("AttachedTemplate"), Kind::Get | Kind::Put, &DocumentObject::AttachedTemplate, 0, 0, 0x43},
        {OLESTR("Activate"), Kind::Method, [](DocumentObject& self, Call&) { self.state_->active = self.open_; }},
        {OLESTR("Close"), Kind::Method, &DocumentObject::Close, 0, 3},
    };
    return table;
}

void DocumentObject::AttachedTemplate(Call& call) {
    if (!call.IsPut()) {
        call.ReturnObject(MakeObject<TemplateObject>(open_->document.AttachedTemplateName()));
        return;
    }
    try {
        open_->document.SetAttachedTemplate(call.Value().AsUtf8());
    } catch (const WordError& error) {
        throw AutomationError(std::string("AttachedTemplate: ") + error.what());
    }
}

// Closes without saving: this server keeps documents only in memory.
void DocumentObject::Close(Call&) {
    auto& documents = state_->documents;
    documents.erase(std::remove(documents.begin(), documents.end(), open_), documents.end());
    if (state_->active == open_) state_->active = documents.empty() ? nullptr : documents.back();
}

const MemberTable<WindowObject>& WindowObject::Members() {
    static const MemberTable<WindowObject> table = {
        {OLESTR("Selection"), Kind::Get,
         [](WindowObject& self, Call& call) {
             call.ReturnObject(MakeObject<SelectionObject>(self.state_, self.open_));
         }},
        {OLESTR("Document"), Kind::Get,
         [](WindowObject& self, Call& call) {
             call.ReturnObject(MakeObject<DocumentObject>(self.state_, self.open_));
         }},
        {OLESTR("Activate"), Kind::Method, [](WindowObject& self, Call&) { self.state_->active = self.open_; }},
    };
    return table;
}

const MemberTable<TemplateObject>& TemplateObject::Members() {
    static const MemberTable<TemplateObject> table = {
        {OLESTR("Name"), Kind::Get, [](TemplateObject& self, Call& call) { call.ReturnUtf8(self.name_); }, 0, 0, DISPID_VALUE},
        {OLESTR("FullName"), Kind::Get, [](TemplateObject& self, Call& call) { call.ReturnUtf8(self.name_); }},
    };
    return table;
}

}  // namespace office::word
