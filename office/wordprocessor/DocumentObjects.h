// Documents, Document, Window and Template: the objects around one document.
#pragma once

#include "office/dispatch/AutomationObject.h"
#include "office/wordprocessor/WordState.h"

namespace office::word {

class DocumentsObject : public AutomationObject<DocumentsObject> {
public:
    explicit DocumentsObject(WordStatePtr state) : state_(std::move(state)) {}
    static const MemberTable<DocumentsObject>& Members();

private:
    void Add(Call& call);
    void Item(Call& call);

    WordStatePtr state_;
};

class DocumentObject : public AutomationObject<DocumentObject> {
public:
    DocumentObject(WordStatePtr state, OpenDocumentPtr open) : state_(std::move(state)), open_(std::move(open)) {}
    static const MemberTable<DocumentObject>& Members();

private:
    void AttachedTemplate(Call& call);
    void Close(Call& call);

    WordStatePtr state_;
    OpenDocumentPtr open_;
};

class WindowObject : public AutomationObject<WindowObject> {
public:
    WindowObject(WordStatePtr state, OpenDocumentPtr open) : state_(std::move(state)), open_(std::move(open)) {}
    static const MemberTable<WindowObject>& Members();

private:
    WordStatePtr state_;
    OpenDocumentPtr open_;
};

// What AttachedTemplate returns: its default member is the file name.
class TemplateObject : public AutomationObject<TemplateObject> {
public:
    explicit TemplateObject(std::string name) : name_(std::move(name)) {}
    static const MemberTable<TemplateObject>& Members();

private:
    std::string name_;
};

}  // namespace office::word
