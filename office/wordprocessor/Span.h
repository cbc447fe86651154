// What a selection or range covers. Nodes are handles into the document's
// XML; `edits` records the document's deletion count when the span was made,
// so a span older than a deletion is refused instead of followed.
#pragma once

#include "office/wordprocessor/FormField.h"

#include <cstdint>

namespace office::word {

enum class SpanKind { Point, Field, Row, Paragraph };

// An insertion point: right before `before` among the children of
// `container` (before null: at the end of container). A container that is a
// table cell or the body holds blocks; a paragraph (or a run container inside
// one) holds inline content.
struct Point {
    pugi::xml_node container;
    pugi::xml_node before;
};

struct Span {
    SpanKind kind = SpanKind::Point;
    Point point;          // Point
    // Point placed between rows (after a selected row): where copied rows go,
    // before `before` among the rows of `container` (a table or a control in it).
    Point rowSlot;
    FormFieldPtr field;   // Field
    pugi::xml_node node;  // Row (w:tr) or Paragraph (w:p)
    uint64_t edits = 0;
};

}  // namespace office::word
