// What the selection members do to the document: selecting rows, moving the
// insertion point, copying, pasting and typing.
#pragma once

#include "office/wordprocessor/Clipboard.h"
#include "office/wordprocessor/WordDocument.h"

#include <string>
#include <string_view>
#include <vector>

namespace office::word {

Span PointSpan(const WordDocument& document, Point point);
Span NodeSpan(const WordDocument& document, SpanKind kind, pugi::xml_node node);
Span FieldSpan(const FormFieldPtr& field);

// Start of the main story (inside the first cell when the body opens with a table).
Span StartOfDocument(const WordDocument& document);
// The row holding the selection's start; throws WordError outside a table.
void SelectRow(WordDocument& document, Span& selection);
// To the start of the next line: the next row after a selected row (or the
// paragraph after the table, made when missing), else the next paragraph.
void GoToNextLine(WordDocument& document, Span& selection);
// Collapses to just after the paragraph; returns the characters moved.
int EndOfParagraph(WordDocument& document, Span& selection);

void Copy(WordDocument& document, const Span& selection, Clipboard& clipboard);
// Inserts the clipboard at the selection; the insertion point stays after
// the pasted content. Throws WordError for an empty clipboard.
void Paste(WordDocument& document, Span& selection, const Clipboard& clipboard);
void SetText(WordDocument& document, Span& selection, std::string_view utf8);

// Queries on a span (selection or range).
int TableCount(const WordDocument& document, const Span& span);
std::vector<pugi::xml_node> ParagraphsOf(const WordDocument& document, const Span& span);
std::vector<FormFieldPtr> FieldsOf(WordDocument& document, const Span& span);
std::string TextOf(const WordDocument& document, const Span& span);

}  // namespace office::word
