#include "office/wordprocessor/SelectionObjects.h"

#include "office/dispatch/Utf8.h"
#include "office/wordprocessor/FormFieldObjects.h"
#include "office/wordprocessor/SelectionEditing.h"
#include "office/wordprocessor/WordError.h"

namespace office::word {
namespace {

// wdGoToPage, wdGoToFirst, wdGoToLine, wdParagraph, wdStory, wdMove.
constexpr LONG kGoToPage = 1;
constexpr LONG kGoToFirst = 1;
constexpr LONG kGoToLine = 3;
constexpr LONG kParagraph = 4;
constexpr LONG kStory = 6;
constexpr LONG kMove = 0;

// Runs a model operation, handing its refusal to the caller under the member's name.
template <typename Operation>
void Guarded(const char* member, Operation operation) {
    try {
        operation();
    } catch (const WordError& error) {
        throw AutomationError(std::string(member) + ": " + error.what());
    }
}

}  // namespace

const MemberTable<SelectionObject>& SelectionObject::Members() {
    static const MemberTable<SelectionObject> table = {
        {OLESTR("Text"), Kind::Get | Kind::Put, &SelectionObject::Text, 0, 0, 0x0},
        {OLESTR("Range"), Kind::Get, &SelectionObject::ReturnRange, 0, 0, 0x190},
        {OLESTR("Paragraphs"), Kind::Get,
         [](SelectionObject& self, Call& call) {
             std::vector<pugi::xml_node> paragraphs;
             Guarded("Paragraphs", [&] { paragraphs = ParagraphsOf(self.open_->document, self.open_->Selection()); });
             call.ReturnObject(MakeObject<ParagraphsObject>(self.state_, self.open_, std::move(paragraphs)));
         },
         0, 0, 0x3b},
        {OLESTR("FormFields"), Kind::Get,
         [](SelectionObject& self, Call& call) {
             std::vector<FormFieldPtr> fields;
             Guarded("FormFields", [&] { fields = FieldsOf(self.open_->document, self.open_->Selection()); });
             call.ReturnObject(MakeObject<FormFieldsObject>(self.state_, self.open_, std::move(fields)));
         },
         0, 0, 0x41},
        {OLESTR("Tables"), Kind::Get,
         [](SelectionObject& self, Call& call) {
             LONG count = 0;
             Guarded("Tables", [&] { count = TableCount(self.open_->document, self.open_->Selection()); });
             call.ReturnObject(MakeObject<TablesObject>(count));
         }},
        {OLESTR("SelectRow"), Kind::Method,
         [](SelectionObject& self, Call&) {
             Guarded("SelectRow", [&] { SelectRow(self.open_->document, self.open_->Selection()); });
         },
         0, 0, 0x20d},
        {OLESTR("Copy"), Kind::Method,
         [](SelectionObject& self, Call&) {
             Guarded("Copy", [&] { Copy(self.open_->document, self.open_->Selection(), self.state_->clipboard); });
         },
         0, 0, 0x78},
        {OLESTR("Paste"), Kind::Method,
         [](SelectionObject& self, Call&) {
             Guarded("Paste", [&] { Paste(self.open_->document, self.open_->Selection(), self.state_->clipboard); });
         },
         0, 0, 0x79},
        {OLESTR("GoTo"), Kind::Method, &SelectionObject::GoTo, 0, 4, 0xad},
        {OLESTR("GoToNext"), Kind::Method, &SelectionObject::GoToNext, 1, 1, 0xae},
        {OLESTR("EndOf"), Kind::Method, &SelectionObject::EndOf, 0, 2, 0x6c},
    };
    return table;
}

void SelectionObject::ReturnRange(Call& call) {
    call.ReturnObject(MakeObject<RangeObject>(state_, open_, open_->Selection()));
}

void SelectionObject::GoTo(Call& call) {
    const LONG what = call.Int(0, kGoToPage);
    const LONG which = call.Int(1, kGoToFirst);
    if (what != kGoToPage || which != kGoToFirst) {
        throw AutomationError("GoTo: only the start of the document (What 1, Which 1) is supported, not What " +
                              std::to_string(what) + ", Which " + std::to_string(which));
    }
    open_->Selection() = StartOfDocument(open_->document);
    ReturnRange(call);
}

void SelectionObject::GoToNext(Call& call) {
    const LONG what = call.Int(0);
    if (what != kGoToLine) {
        throw AutomationError("GoToNext: only the next line (What 3) is supported, not What " + std::to_string(what));
    }
    Guarded("GoToNext", [&] { GoToNextLine(open_->document, open_->Selection()); });
    ReturnRange(call);
}

void SelectionObject::EndOf(Call& call) {
    const LONG unit = call.Int(0, kStory);
    const LONG extend = call.Int(1, kMove);
    if (extend != kMove) throw AutomationError("EndOf: only moving (Extend 0) is supported");
    if (unit == kStory) {
        WordDocument& document = open_->document;
        open_->Selection() = PointSpan(document, {document.Body(), pugi::xml_node()});
        call.ReturnInt(0);
        return;
    }
    if (unit != kParagraph) {
        throw AutomationError("EndOf: only paragraphs (4) and the whole story (6) are supported, not unit " +
                              std::to_string(unit));
    }
    int moved = 0;
    Guarded("EndOf", [&] { moved = EndOfParagraph(open_->document, open_->Selection()); });
    call.ReturnInt(moved);
}

void SelectionObject::Text(Call& call) {
    if (call.IsPut()) {
        const std::string text = call.Value().AsUtf8();
        Guarded("Text", [&] { SetText(open_->document, open_->Selection(), text); });
        return;
    }
    std::string text;
    Guarded("Text", [&] { text = TextOf(open_->document, open_->Selection()); });
    call.ReturnUtf8(text);
}

const MemberTable<RangeObject>& RangeObject::Members() {
    static const MemberTable<RangeObject> table = {
        {OLESTR("Tables"), Kind::Get,
         [](RangeObject& self, Call& call) {
             LONG count = 0;
             Guarded("Tables", [&] { count = TableCount(self.open_->document, self.span_); });
             call.ReturnObject(MakeObject<TablesObject>(count));
         },
         0, 0, 0x32},
        {OLESTR("Select"), Kind::Method,
         [](RangeObject& self, Call&) {
             Guarded("Select", [&] { self.open_->document.Check(self.span_); });
             self.open_->Selection() = self.span_;
             self.state_->active = self.open_;
         },
         0, 0, 0xffff},
        {OLESTR("Text"), Kind::Get,
         [](RangeObject& self, Call& call) {
             std::string text;
             Guarded("Text", [&] { text = TextOf(self.open_->document, self.span_); });
             call.ReturnUtf8(text);
         },
         0, 0, 0x0},
        {OLESTR("FormFields"), Kind::Get,
         [](RangeObject& self, Call& call) {
             std::vector<FormFieldPtr> fields;
             Guarded("FormFields", [&] { fields = FieldsOf(self.open_->document, self.span_); });
             call.ReturnObject(MakeObject<FormFieldsObject>(self.state_, self.open_, std::move(fields)));
         }},
        {OLESTR("Paragraphs"), Kind::Get,
         [](RangeObject& self, Call& call) {
             std::vector<pugi::xml_node> paragraphs;
             Guarded("Paragraphs", [&] { paragraphs = ParagraphsOf(self.open_->document, self.span_); });
             call.ReturnObject(MakeObject<ParagraphsObject>(self.state_, self.open_, std::move(paragraphs)));
         }},
    };
    return table;
}

const MemberTable<TablesObject>& TablesObject::Members() {
    static const MemberTable<TablesObject> table = {
        {OLESTR("Count"), Kind::Get, [](TablesObject& self, Call& call) { call.ReturnInt(self.count_); }, 0, 0, 0x2},
    };
    return table;
}

const MemberTable<ParagraphsObject>& ParagraphsObject::Members() {
    static const MemberTable<ParagraphsObject> table = {
        {OLESTR("Count"), Kind::Get,
         [](ParagraphsObject& self, Call& call) { call.ReturnInt(static_cast<LONG>(self.paragraphs_.size())); }},
        {OLESTR("Item"), Kind::Method, &ParagraphsObject::Item, 1, 1, 0x0},
    };
    return table;
}

void ParagraphsObject::Item(Call& call) {
    const LONG index = call.Int(0);
    if (index < 1 || static_cast<size_t>(index) > paragraphs_.size()) {
        throw AutomationError("Paragraphs.Item: there is no paragraph " + std::to_string(index) + " (the collection has " +
                              std::to_string(paragraphs_.size()) + ")");
    }
    Span span = NodeSpan(open_->document, SpanKind::Paragraph, paragraphs_[static_cast<size_t>(index - 1)]);
    span.edits = edits_;
    Guarded("Paragraphs.Item", [&] { open_->document.Check(span); });
    call.ReturnObject(MakeObject<ParagraphObject>(state_, open_, span));
}

const MemberTable<ParagraphObject>& ParagraphObject::Members() {
    static const MemberTable<ParagraphObject> table = {
        {OLESTR("Range"), Kind::Get,
         [](ParagraphObject& self, Call& call) {
             call.ReturnObject(MakeObject<RangeObject>(self.state_, self.open_, self.span_));
         },
         0, 0, 0x0},
    };
    return table;
}

}  // namespace office::word
