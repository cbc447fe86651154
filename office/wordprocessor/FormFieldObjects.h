// FormFields and FormField. A document's collection is live and answered
// from the field index; a selection's or range's holds the fields it had
// when it was made, less those that left the document since.
#pragma once

#include "office/dispatch/AutomationObject.h"
#include "office/wordprocessor/WordState.h"

#include <optional>

namespace office::word {

class FormFieldsObject : public AutomationObject<FormFieldsObject> {
public:
    // The document's form fields.
    FormFieldsObject(WordStatePtr state, OpenDocumentPtr open) : state_(std::move(state)), open_(std::move(open)) {}
    // The given fields, in document order.
    FormFieldsObject(WordStatePtr state, OpenDocumentPtr open, std::vector<FormFieldPtr> fields)
        : state_(std::move(state)), open_(std::move(open)), fields_(std::move(fields)) {}
    static const MemberTable<FormFieldsObject>& Members();

private:
    size_t Count() const;
    void Item(Call& call);

    WordStatePtr state_;
    OpenDocumentPtr open_;
    std::optional<std::vector<FormFieldPtr>> fields_;
};

class FormFieldObject : public AutomationObject<FormFieldObject> {
public:
    FormFieldObject(WordStatePtr state, OpenDocumentPtr open, FormFieldPtr field)
        : state_(std::move(state)), open_(std::move(open)), field_(std::move(field)) {}
    static const MemberTable<FormFieldObject>& Members();

private:
    // The field, or a refusal naming the member when it left the document.
    const FormField& Live(const char* member) const;

    WordStatePtr state_;
    OpenDocumentPtr open_;
    FormFieldPtr field_;
};

}  // namespace office::word
