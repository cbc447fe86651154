// Selection, Range, Tables, Paragraphs and Paragraph over the model's spans.
#pragma once

#include "office/dispatch/AutomationObject.h"
#include "office/wordprocessor/WordState.h"

namespace office::word {

// The one live selection of a document: every Selection object of the same
// document reads and moves the same span.
class SelectionObject : public AutomationObject<SelectionObject> {
public:
    SelectionObject(WordStatePtr state, OpenDocumentPtr open) : state_(std::move(state)), open_(std::move(open)) {}
    static const MemberTable<SelectionObject>& Members();

private:
    void GoTo(Call& call);
    void GoToNext(Call& call);
    void EndOf(Call& call);
    void Text(Call& call);
    void ReturnRange(Call& call);

    WordStatePtr state_;
    OpenDocumentPtr open_;
};

// A fixed stretch of the document, taken when the Range was made.
class RangeObject : public AutomationObject<RangeObject> {
public:
    RangeObject(WordStatePtr state, OpenDocumentPtr open, Span span)
        : state_(std::move(state)), open_(std::move(open)), span_(std::move(span)) {}
    static const MemberTable<RangeObject>& Members();

private:
    WordStatePtr state_;
    OpenDocumentPtr open_;
    Span span_;
};

class TablesObject : public AutomationObject<TablesObject> {
public:
    explicit TablesObject(LONG count) : count_(count) {}
    static const MemberTable<TablesObject>& Members();

private:
    LONG count_;
};

class ParagraphsObject : public AutomationObject<ParagraphsObject> {
public:
    ParagraphsObject(WordStatePtr state, OpenDocumentPtr open, std::vector<pugi::xml_node> paragraphs)
        : state_(std::move(state)), open_(std::move(open)), paragraphs_(std::move(paragraphs)),
          edits_(open_->document.Edits()) {}
    static const MemberTable<ParagraphsObject>& Members();

private:
    void Item(Call& call);

    WordStatePtr state_;
    OpenDocumentPtr open_;
    std::vector<pugi::xml_node> paragraphs_;
    uint64_t edits_;
};

class ParagraphObject : public AutomationObject<ParagraphObject> {
public:
    ParagraphObject(WordStatePtr state, OpenDocumentPtr open, Span span)
        : state_(std::move(state)), open_(std::move(open)), span_(std::move(span)) {}
    static const MemberTable<ParagraphObject>& Members();

private:
    WordStatePtr state_;
    OpenDocumentPtr open_;
    Span span_;
};

}  // namespace office::word
