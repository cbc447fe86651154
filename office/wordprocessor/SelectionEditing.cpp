#include "office/wordprocessor/SelectionEditing.h"

#include "office/package/Xml.h"
#include "office/wordprocessor/BlockNavigation.h"
#include "office/wordprocessor/CopyRenumbering.h"
#include "office/wordprocessor/TextEditing.h"
#include "office/wordprocessor/WordError.h"
#include "office/wordprocessor/WordNames.h"

#include <atomic>
#include <cstring>

namespace office::word {
namespace {

std::atomic<uint64_t> copiesMade{0};

pugi::xml_node StartNode(const Span& span) {
    switch (span.kind) {
        case SpanKind::Field: return span.field->beginRun;
        case SpanKind::Row:
        case SpanKind::Paragraph: return span.node;
        case SpanKind::Point: return span.point.before ? span.point.before : span.point.container;
    }
    return {};
}

// The first paragraph at or after `first` among the children of container,
// entering tables and content controls.
Point FirstParagraph(const WordNames& names, pugi::xml_node container, pugi::xml_node first) {
    for (pugi::xml_node node = first; node; node = node.next_sibling()) {
        if (pugi::xml_node paragraph = FirstParagraphUnder(names, node)) return {paragraph.parent(), paragraph};
    }
    return {container, pugi::xml_node()};
}

pugi::xml_node NextParagraph(const WordNames& names, pugi::xml_node paragraph, pugi::xml_node body) {
    const char* p = names.p.c_str();
    for (pugi::xml_node node = paragraph; node && node != body; node = node.parent()) {
        for (pugi::xml_node sibling = node.next_sibling(); sibling; sibling = sibling.next_sibling()) {
            if (sibling.type() != pugi::node_element) continue;
            if (IsElement(sibling, names.p)) return sibling;
            if (pugi::xml_node inner = sibling.find_node([p](pugi::xml_node n) { return std::strcmp(n.name(), p) == 0; })) {
                return inner;
            }
        }
    }
    return {};
}

// The point right after the paragraph, between blocks.
Point AfterParagraph(pugi::xml_node paragraph) {
    return {paragraph.parent(), paragraph.next_sibling()};
}

// The paragraph after the table, made when none follows it (after any
// content control the table ends).
Point AfterTable(WordDocument& document, pugi::xml_node table) {
    const WordNames& names = document.Names();
    pugi::xml_node next = NextVisible(names, table);
    if (IsElement(next, names.p)) return {next.parent(), next};
    pugi::xml_node last = OutermostEndingWith(names, table);
    pugi::xml_node paragraph = last.parent().insert_child_after(names.p.c_str(), last);
    document.NoteTextChange();
    return {last.parent(), paragraph};
}

Point StartOfRow(const WordNames& names, pugi::xml_node row) {
    pugi::xml_node paragraph = FirstParagraphUnder(names, row);
    return paragraph ? Point{paragraph.parent(), paragraph} : Point{row, row.first_child()};
}

// The start of the next line after the row: the next row of its table; after
// the last row, the first row of a table right after it (shown as one table
// with it), else the paragraph after the table. Copied rows pasted there
// follow the row.
Span AfterRow(WordDocument& document, pugi::xml_node row) {
    const WordNames& names = document.Names();
    if (pugi::xml_node next = NextRow(names, row)) {
        Span span = PointSpan(document, StartOfRow(names, next));
        pugi::xml_node slot = OutermostStartingWith(names, next);
        span.rowSlot = {slot.parent(), slot};
        return span;
    }
    pugi::xml_node table = TableOf(names, row);
    pugi::xml_node next = NextVisible(names, table);
    Point at;
    if (IsElement(next, names.tbl)) {
        at = FirstParagraph(names, next.parent(), next);
    } else {
        at = AfterTable(document, table);
    }
    Span span = PointSpan(document, at);
    span.rowSlot = {table, pugi::xml_node()};
    return span;
}

void RemoveBookmarks(const WordNames& names, pugi::xml_node holder) {
    std::vector<pugi::xml_node> bookmarks;
    ForEachElement(holder, [&](pugi::xml_node node) {
        if (IsElement(node, names.bookmarkStart) || IsElement(node, names.bookmarkEnd)) bookmarks.push_back(node);
    });
    for (pugi::xml_node node : bookmarks) RemoveSubtree(node);
}

class StringWriter : public pugi::xml_writer {
public:
    void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
    std::string text;
};

std::string ContentXml(pugi::xml_node holder) {
    StringWriter writer;
    for (pugi::xml_node node : holder.children()) node.print(writer, "", pugi::format_raw);
    return std::move(writer.text);
}

void AppendText(const WordNames& names, pugi::xml_node root, std::string& text) {
    ForEachElement(root, [&](pugi::xml_node node) {
        if (IsElement(node, names.t)) {
            text += node.text().get();
        } else if (IsElement(node, names.tab)) {
            text += '\t';
        } else if (IsElement(node, names.br)) {
            text += std::string_view(node.attribute(names.type.c_str()).value()) == "page" ? '\f' : '\v';
        }
    });
}

// A block point for content that goes between paragraphs: inside a
// paragraph it moves to just after that paragraph.
Point BlockPoint(WordDocument& document, const Span& selection) {
    const WordNames& names = document.Names();
    Point at;
    if (selection.kind == SpanKind::Point) {
        at = selection.point;
    } else {
        std::vector<pugi::xml_node> paragraphs = ParagraphsOf(document, selection);
        if (paragraphs.empty()) throw WordError("Paste: there is no paragraph at the selection in " + document.Name());
        at = {paragraphs.front().parent(), paragraphs.front()};
    }
    if (!IsBlockContainer(names, at.container)) at = AfterParagraph(AncestorNamed(at.container, names.p));
    return at;
}

// Inserts a copy of everything on the clipboard before `before` among the
// children of container (at its end when before is null).
std::vector<pugi::xml_node> InsertCopies(WordDocument& document, pugi::xml_node container, pugi::xml_node before,
                                         const Clipboard& clipboard) {
    std::vector<pugi::xml_node> copies;
    for (pugi::xml_node node : document.PasteSource(clipboard).children()) {
        copies.push_back(before ? container.insert_copy_before(node, before) : container.append_copy(node));
    }
    return copies;
}

// The block position at the start of the paragraph that holds the selection's start.
Point ParagraphStart(WordDocument& document, const Span& selection) {
    const WordNames& names = document.Names();
    if (selection.kind == SpanKind::Point && IsBlockContainer(names, selection.point.container)) return selection.point;
    pugi::xml_node paragraph = AncestorNamed(StartNode(selection), names.p);
    return paragraph ? Point{paragraph.parent(), paragraph} : selection.point;
}

// The table the rows pasted at a point extend: the one the point's
// paragraph directly follows (through content controls).
pugi::xml_node TableBefore(const WordNames& names, Point at) {
    pugi::xml_node previous = at.before ? PreviousVisible(names, at.before) : LastVisibleChild(names, at.container);
    while (IsElement(previous, names.sectPr)) previous = PreviousVisible(names, previous);
    return IsElement(previous, names.tbl) ? previous : pugi::xml_node();
}

pugi::xml_node NewTable(WordDocument& document, const Span& selection, const Clipboard& clipboard) {
    const WordNames& names = document.Names();
    Point at = BlockInsertionPoint(document, BlockPoint(document, selection));
    pugi::xml_node table = at.before ? at.container.insert_child_before(names.tbl.c_str(), at.before)
                                     : at.container.append_child(names.tbl.c_str());
    for (pugi::xml_node part : clipboard.tableFrame.first_child().children()) table.append_copy(part);
    if (!table.child(names.tblPr.c_str())) table.prepend_child(names.tblPr.c_str());
    if (!table.child(names.tblGrid.c_str())) table.insert_child_after(names.tblGrid.c_str(), table.child(names.tblPr.c_str()));
    return table;
}

std::vector<pugi::xml_node> PasteRows(WordDocument& document, Span& selection, const Clipboard& clipboard) {
    const WordNames& names = document.Names();
    Point slot;  // the rows' container (a table, or a content control in it) and the row they go before
    if (selection.kind == SpanKind::Row) {
        slot = {selection.node.parent(), selection.node};
    } else if (selection.kind == SpanKind::Point && selection.rowSlot.container) {
        slot = selection.rowSlot;
    } else if (pugi::xml_node table = TableBefore(names, ParagraphStart(document, selection))) {
        slot = {table, pugi::xml_node()};
    } else if (pugi::xml_node row = AncestorNamed(StartNode(selection), names.tr)) {
        slot = {row.parent(), row};
    } else {
        slot = {NewTable(document, selection, clipboard), pugi::xml_node()};
    }
    std::vector<pugi::xml_node> copies = InsertCopies(document, slot.container, slot.before, clipboard);
    if (selection.kind == SpanKind::Row) {
        pugi::xml_node replaced = selection.node;
        selection = AfterRow(document, replaced);
        RemoveNodes(document, {replaced});
        selection.edits = document.Edits();
    }
    return copies;
}

std::vector<pugi::xml_node> PasteParagraphs(WordDocument& document, Span& selection, const Clipboard& clipboard) {
    const WordNames& names = document.Names();
    Point at;
    pugi::xml_node replaced;
    if (selection.kind == SpanKind::Row) {
        throw WordError("Paste: paragraphs cannot replace a selected table row in " + document.Name());
    } else if (selection.kind == SpanKind::Paragraph) {
        replaced = selection.node;
        at = {replaced.parent(), replaced};
    } else if (selection.kind == SpanKind::Field) {
        at = ReplaceFieldWithText(document, selection.field, "");
    } else {
        at = selection.point;
    }
    if (!IsBlockContainer(names, at.container)) at = AfterParagraph(AncestorNamed(at.container, names.p));
    at = BlockInsertionPoint(document, at);
    std::vector<pugi::xml_node> copies = InsertCopies(document, at.container, at.before, clipboard);
    if (replaced) {
        at.before = replaced.next_sibling();
        RemoveNodes(document, {replaced});
    }
    selection = PointSpan(document, at);
    return copies;
}

std::vector<pugi::xml_node> PasteInline(WordDocument& document, Span& selection, const Clipboard& clipboard) {
    Point at;
    if (selection.kind == SpanKind::Field) {
        at = ReplaceFieldWithText(document, selection.field, "");
    } else if (selection.kind == SpanKind::Point) {
        at = InlinePoint(document, selection.point);
    } else {
        throw WordError("Paste: copied text cannot replace a selected row or paragraph in " + document.Name());
    }
    std::vector<pugi::xml_node> copies = InsertCopies(document, at.container, at.before, clipboard);
    selection = PointSpan(document, at);
    return copies;
}

}  // namespace

Span PointSpan(const WordDocument& document, Point point) {
    Span span;
    span.kind = SpanKind::Point;
    span.point = point;
    span.edits = document.Edits();
    return span;
}

Span NodeSpan(const WordDocument& document, SpanKind kind, pugi::xml_node node) {
    Span span;
    span.kind = kind;
    span.node = node;
    span.edits = document.Edits();
    return span;
}

Span FieldSpan(const FormFieldPtr& field) {
    Span span;
    span.kind = SpanKind::Field;
    span.field = field;
    return span;
}

Span StartOfDocument(const WordDocument& document) {
    return PointSpan(document, FirstParagraph(document.Names(), document.Body(), document.Body().first_child()));
}

void SelectRow(WordDocument& document, Span& selection) {
    document.Check(selection);
    pugi::xml_node row = AncestorNamed(StartNode(selection), document.Names().tr);
    if (!row) throw WordError("SelectRow: the selection is not in a table in " + document.Name());
    selection = NodeSpan(document, SpanKind::Row, row);
}

void GoToNextLine(WordDocument& document, Span& selection) {
    document.Check(selection);
    const WordNames& names = document.Names();
    if (selection.kind == SpanKind::Row) {
        selection = AfterRow(document, selection.node);
        return;
    }
    std::vector<pugi::xml_node> paragraphs = ParagraphsOf(document, selection);
    if (paragraphs.empty()) return;
    pugi::xml_node next = NextParagraph(names, paragraphs.front(), document.Body());
    selection = PointSpan(document, next ? Point{next.parent(), next} : Point{paragraphs.front(), pugi::xml_node()});
}

int EndOfParagraph(WordDocument& document, Span& selection) {
    document.Check(selection);
    std::vector<pugi::xml_node> paragraphs = ParagraphsOf(document, selection);
    if (paragraphs.empty()) return 0;
    pugi::xml_node paragraph = paragraphs.front();
    int moved = 0;
    if (selection.kind != SpanKind::Paragraph) {
        std::string text;
        AppendText(document.Names(), paragraph, text);
        moved = static_cast<int>(text.size()) + 1;
    }
    selection = PointSpan(document, AfterParagraph(paragraph));
    return moved;
}

void Copy(WordDocument& document, const Span& selection, Clipboard& clipboard) {
    document.Check(selection);
    const WordNames& names = document.Names();
    clipboard.content.reset();
    clipboard.tableFrame.reset();
    pugi::xml_node holder = clipboard.content.append_child("clipboard");
    switch (selection.kind) {
        case SpanKind::Point:
            clipboard.kind = Clipboard::Kind::Empty;
            throw WordError("Copy: nothing is selected in " + document.Name());
        case SpanKind::Row: {
            clipboard.kind = Clipboard::Kind::Rows;
            holder.append_copy(selection.node);
            pugi::xml_node frame = clipboard.tableFrame.append_child("frame");
            pugi::xml_node table = TableOf(names, selection.node);
            if (pugi::xml_node part = table.child(names.tblPr.c_str())) frame.append_copy(part);
            if (pugi::xml_node part = table.child(names.tblGrid.c_str())) frame.append_copy(part);
            break;
        }
        case SpanKind::Paragraph: {
            clipboard.kind = Clipboard::Kind::Paragraphs;
            // The document keeps its sections: a section break stays with the original.
            holder.append_copy(selection.node).child(names.pPr.c_str()).remove_child(names.sectPr.c_str());
            break;
        }
        case SpanKind::Field:
            clipboard.kind = Clipboard::Kind::Inline;
            for (pugi::xml_node node = selection.field->beginRun; node; node = node.next_sibling()) {
                holder.append_copy(node);
                if (node == selection.field->endRun) break;
            }
            break;
    }
    RemoveBookmarks(names, holder);
    clipboard.rows = 0;
    ForEachElement(holder, [&](pugi::xml_node node) {
        if (IsElement(node, names.tr)) ++clipboard.rows;
    });
    clipboard.xml = ContentXml(holder);
    clipboard.generation = ++copiesMade;
    clipboard.holdsUniqueIds = HoldsUniqueIds(names, holder);
}

void Paste(WordDocument& document, Span& selection, const Clipboard& clipboard) {
    document.Check(selection);
    if (clipboard.kind == Clipboard::Kind::Empty) throw WordError("Paste: the clipboard is empty");
    document.Grow(clipboard.xml.size(), clipboard.rows);
    std::vector<pugi::xml_node> copies;
    switch (clipboard.kind) {
        case Clipboard::Kind::Empty: break;
        case Clipboard::Kind::Rows: copies = PasteRows(document, selection, clipboard); break;
        case Clipboard::Kind::Paragraphs: copies = PasteParagraphs(document, selection, clipboard); break;
        case Clipboard::Kind::Inline: copies = PasteInline(document, selection, clipboard); break;
    }
    if (clipboard.holdsUniqueIds) {
        for (pugi::xml_node copy : copies) document.Renumbering().Renumber(copy);
    }
    document.NotePaste(copies);
}

void SetText(WordDocument& document, Span& selection, std::string_view utf8) {
    document.Check(selection);
    Point at;
    switch (selection.kind) {
        case SpanKind::Field:
            at = ReplaceFieldWithText(document, selection.field, utf8);
            break;
        case SpanKind::Point:
            at = InsertText(document, selection.point, utf8, pugi::xml_node());
            break;
        case SpanKind::Paragraph: {
            std::vector<pugi::xml_node> content;
            for (pugi::xml_node node : selection.node.children()) {
                if (!IsElement(node, document.Names().pPr)) content.push_back(node);
            }
            RemoveNodes(document, content);
            at = InsertText(document, {selection.node, pugi::xml_node()}, utf8, pugi::xml_node());
            break;
        }
        case SpanKind::Row:
            throw WordError("Text: a selected table row cannot be replaced by text in " + document.Name());
    }
    selection = PointSpan(document, at);
}

int TableCount(const WordDocument& document, const Span& span) {
    document.Check(span);
    if (span.kind == SpanKind::Row) return 1;
    return AncestorNamed(StartNode(span), document.Names().tc) ? 1 : 0;
}

std::vector<pugi::xml_node> ParagraphsOf(const WordDocument& document, const Span& span) {
    document.Check(span);
    const WordNames& names = document.Names();
    std::vector<pugi::xml_node> paragraphs;
    switch (span.kind) {
        case SpanKind::Field:
            paragraphs.push_back(AncestorNamed(span.field->beginRun, names.p));
            break;
        case SpanKind::Paragraph:
            paragraphs.push_back(span.node);
            break;
        case SpanKind::Row:
            ForEachElement(span.node, [&](pugi::xml_node node) {
                if (IsElement(node, names.p)) paragraphs.push_back(node);
            });
            break;
        case SpanKind::Point: {
            const Point& at = span.point;
            if (!IsBlockContainer(names, at.container)) {
                paragraphs.push_back(AncestorNamed(at.container, names.p));
            } else if (IsElement(at.before, names.tbl) || IsElement(at.before, names.sdt)) {
                paragraphs.push_back(FirstParagraphUnder(names, at.before));
            } else if (IsElement(at.before, names.p)) {
                paragraphs.push_back(at.before);
            } else {
                pugi::xml_node previous =
                    at.before ? PreviousVisible(names, at.before) : LastVisibleChild(names, at.container);
                if (IsElement(previous, names.p)) paragraphs.push_back(previous);
            }
            break;
        }
    }
    std::erase_if(paragraphs, [](pugi::xml_node node) { return !node; });
    return paragraphs;
}

std::vector<FormFieldPtr> FieldsOf(WordDocument& document, const Span& span) {
    document.Check(span);
    switch (span.kind) {
        case SpanKind::Field: return {span.field};
        case SpanKind::Row:
        case SpanKind::Paragraph: return document.Fields().FieldsUnder(span.node);
        case SpanKind::Point: break;
    }
    return {};
}

std::string TextOf(const WordDocument& document, const Span& span) {
    document.Check(span);
    const WordNames& names = document.Names();
    std::string text;
    switch (span.kind) {
        case SpanKind::Point: break;
        case SpanKind::Field: {
            pugi::xml_node previous;
            for (pugi::xml_node node : FieldContent(*span.field)) {
                pugi::xml_node paragraph = AncestorNamed(node, names.p);
                if (previous && paragraph != previous) text += '\r';
                AppendText(names, node, text);
                previous = paragraph;
            }
            break;
        }
        case SpanKind::Paragraph:
        case SpanKind::Row:
            for (pugi::xml_node paragraph : ParagraphsOf(document, span)) {
                AppendText(names, paragraph, text);
                text += '\r';
            }
            break;
    }
    return text;
}

}  // namespace office::word
