// Putting text into the main story: plain text at a point, and a form field
// replaced by text with the formatting of its first run.
#pragma once

#include "office/wordprocessor/WordDocument.h"

#include <string_view>

namespace office::word {

// Inserts UTF-8 text at the point with a copy of rPr (may be empty) on every
// run. Line feeds and carriage returns start new paragraphs (line breaks where
// the point is not directly in a paragraph), vertical tabs become line breaks,
// tabs tabs, form feeds page breaks; other control characters are dropped.
// Returns the point just after the text.
Point InsertText(WordDocument& document, Point at, std::string_view text, pugi::xml_node rPr);

// What the field covers in document order: the begin run, everything after
// it that lies wholly inside the field (runs, whole paragraphs and tables),
// and the end run. Containers the end run lies in are entered, not taken.
std::vector<pugi::xml_node> FieldContent(const FormField& field);

// Replaces the field (begin mark through end mark, with its bookmark) by the
// text. A result spanning paragraph marks goes with them: the paragraphs join.
// Throws WordError when the marks lie in different table cells.
Point ReplaceFieldWithText(WordDocument& document, const FormFieldPtr& field, std::string_view text);

// Removes the nodes and every form field under them from the document.
void RemoveNodes(WordDocument& document, const std::vector<pugi::xml_node>& nodes);

// A point inside a paragraph for a point between blocks: the start of the
// paragraph that follows, or a new paragraph where none follows.
Point InlinePoint(WordDocument& document, Point at);

// The container a new paragraph or table goes into at the point, and the
// node it goes before (the section properties at the end of the body).
Point BlockInsertionPoint(const WordDocument& document, Point at);

}  // namespace office::word
