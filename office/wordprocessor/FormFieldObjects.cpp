#include "office/wordprocessor/FormFieldObjects.h"

#include "office/dispatch/Utf8.h"
#include "office/wordprocessor/SelectionEditing.h"
#include "office/wordprocessor/SelectionObjects.h"

namespace office::word {

const MemberTable<FormFieldsObject>& FormFieldsObject::Members() {
    static const MemberTable<FormFieldsObject> table = {
        {OLESTR("Count"), Kind::Get,
         [](FormFieldsObject& self, Call& call) { call.ReturnInt(static_cast<LONG>(self.Count())); }},
        {OLESTR("Item"), Kind::Method, &FormFieldsObject::Item, 1, 1},
    };
    return table;
}

size_t FormFieldsObject::Count() const {
    if (!fields_) return open_->document.Fields().Count();
    size_t count = 0;
    for (const FormFieldPtr& field : *fields_) count += field->alive ? 1 : 0;
    return count;
}

void FormFieldsObject::Item(Call& call) {
    Index index = call.IndexArg(0);
    FormFieldPtr found;
    if (index.byName) {
        const std::string name = Utf16ToUtf8(index.name);
        if (!fields_) {
            found = open_->document.Fields().ByName(name);
        } else {
            const std::string folded = FoldName(name);
            for (const FormFieldPtr& field : *fields_) {
                if (field->alive && FoldName(field->name) == folded) {
                    found = field;
                    break;
                }
            }
        }
        if (!found) {
            throw AutomationError("FormFields.Item: " + open_->document.Name() + " has no form field named '" + name +
                                  "'");
        }
    } else {
        if (index.number >= 1) {
            const size_t position = static_cast<size_t>(index.number);
            if (!fields_) {
                found = open_->document.Fields().At(position);
            } else {
                size_t seen = 0;
                for (const FormFieldPtr& field : *fields_) {
                    if (field->alive && ++seen == position) {
                        found = field;
                        break;
                    }
                }
            }
        }
        if (!found) {
            throw AutomationError("FormFields.Item: there is no form field " + std::to_string(index.number) +
                                  " (the collection has " + std::to_string(Count()) + ")");
        }
    }
    call.ReturnObject(MakeObject<FormFieldObject>(state_, open_, found));
}

const FormField& FormFieldObject::Live(const char* member) const {
    if (!field_->alive) {
        throw AutomationError(std::string("FormField.") + member + ": the form field '" + field_->name +
                              "' is no longer in " + open_->document.Name());
    }
    return *field_;
}

const MemberTable<FormFieldObject>& FormFieldObject::Members() {
    static const MemberTable<FormFieldObject> table = {
        {OLESTR("Type"), Kind::Get, [](FormFieldObject& self, Call& call) { call.ReturnInt(self.Live("Type").type); }},
        {OLESTR("Name"), Kind::Get, [](FormFieldObject& self, Call& call) { call.ReturnUtf8(self.Live("Name").name); }},
        {OLESTR("Select"), Kind::Method,
         [](FormFieldObject& self, Call&) {
             self.Live("Select");
             self.open_->Selection() = FieldSpan(self.field_);
             self.state_->active = self.open_;
         }},
        {OLESTR("Result"), Kind::Get,
         [](FormFieldObject& self, Call& call) {
             self.Live("Result");
             call.ReturnUtf8(TextOf(self.open_->document, FieldSpan(self.field_)));
         }},
        {OLESTR("Range"), Kind::Get,
         [](FormFieldObject& self, Call& call) {
             self.Live("Range");
             call.ReturnObject(MakeObject<RangeObject>(self.state_, self.open_, FieldSpan(self.field_)));
         }},
    };
    return table;
}

}  // namespace office::word
