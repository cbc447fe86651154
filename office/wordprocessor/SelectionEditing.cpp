#include "office/wordprocessor/SelectionEditing.h"

#include "office/package/Xml.h"
#include "office/wordprocessor/TextEditing.h"
#include "office/wordprocessor/WordError.h"
#include "office/wordprocessor/WordNames.h"

#include <cstring>

namespace office::word {
namespace {

pugi::xml_node NextElement(pugi::xml_node node) {
    for (node = node.next_sibling(); node && node.type() != pugi::node_element; node = node.next_sibling()) {}
    return node;
}

pugi::xml_node PreviousElement(pugi::xml_node node) {
    for (node = node.previous_sibling(); node && node.type() != pugi::node_element; node = node.previous_sibling()) {}
    return node;
}

bool IsBlockContainer(const WordNames& names, pugi::xml_node node) {
    return IsElement(node, names.body) || IsElement(node, names.tc) || IsElement(node, names.tbl);
}

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
// entering tables through their first cell.
Point FirstParagraph(const WordNames& names, pugi::xml_node container, pugi::xml_node first) {
    pugi::xml_node node = first;
    while (node) {
        if (IsElement(node, names.p)) return {container, node};
        pugi::xml_node cell =
            IsElement(node, names.tbl) ? node.child(names.tr.c_str()).child(names.tc.c_str()) : pugi::xml_node();
        if (cell) {
            container = cell;
            node = cell.first_child();
        } else {
            node = node.next_sibling();
        }
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

// The paragraph after the table, made when the table is the last block.
Point AfterTable(WordDocument& document, pugi::xml_node table) {
    pugi::xml_node next = NextElement(table);
    if (IsElement(next, document.Names().p)) return {table.parent(), next};
    pugi::xml_node paragraph = table.parent().insert_child_after(document.Names().p.c_str(), table);
    document.NoteTextChange();
    return {table.parent(), paragraph};
}

// The table of a row; rows may sit in a content control inside it.
pugi::xml_node TableOf(const WordNames& names, pugi::xml_node row) {
    return AncestorNamed(row.parent(), names.tbl);
}

Point StartOfRow(const WordNames& names, pugi::xml_node row) {
    pugi::xml_node cell = row.child(names.tc.c_str());
    return cell ? FirstParagraph(names, cell, cell.first_child()) : Point{row, row.first_child()};
}

void RemoveBookmarks(const WordNames& names, pugi::xml_node holder) {
    std::vector<pugi::xml_node> bookmarks;
    ForEachElement(holder, [&](pugi::xml_node node) {
        if (IsElement(node, names.bookmarkStart) || IsElement(node, names.bookmarkEnd)) bookmarks.push_back(node);
    });
    for (pugi::xml_node node : bookmarks) RemoveSubtree(node);
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

void PasteRows(WordDocument& document, Span& selection, const Clipboard& clipboard) {
    const WordNames& names = document.Names();
    pugi::xml_node table;  // what holds the rows: the table, or a content control in it
    pugi::xml_node beforeRow;
    pugi::xml_node replaced;
    if (selection.kind == SpanKind::Row) {
        replaced = beforeRow = selection.node;
        table = selection.node.parent();
    } else if (pugi::xml_node row = AncestorNamed(StartNode(selection), names.tr)) {
        beforeRow = row;
        table = row.parent();
    } else {
        Point at = BlockPoint(document, selection);
        pugi::xml_node previous = at.before ? PreviousElement(at.before) : at.container.last_child();
        while (previous && (previous.type() != pugi::node_element || IsElement(previous, names.sectPr))) {
            previous = previous.previous_sibling();
        }
        if (IsElement(previous, names.tbl)) {
            table = previous;  // rows pasted right after a table extend it
        } else {
            at = BlockInsertionPoint(document, at);
            table = at.before ? at.container.insert_child_before(names.tbl.c_str(), at.before)
                              : at.container.append_child(names.tbl.c_str());
            for (pugi::xml_node part : clipboard.tableFrame.first_child().children()) table.append_copy(part);
            if (!table.child(names.tblPr.c_str())) table.prepend_child(names.tblPr.c_str());
            if (!table.child(names.tblGrid.c_str())) table.insert_child_after(names.tblGrid.c_str(), table.child(names.tblPr.c_str()));
        }
    }
    for (pugi::xml_node row : clipboard.content.first_child().children()) {
        if (beforeRow) {
            table.insert_copy_before(row, beforeRow);
        } else {
            table.append_copy(row);
        }
    }
    if (replaced) {
        pugi::xml_node next = NextElement(replaced);
        pugi::xml_node wholeTable = TableOf(names, replaced);
        RemoveNodes(document, {replaced});
        Point at = IsElement(next, names.tr) ? StartOfRow(names, next) : AfterTable(document, wholeTable);
        selection = PointSpan(document, at);
    }
}

void PasteParagraphs(WordDocument& document, Span& selection, const Clipboard& clipboard) {
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
    for (pugi::xml_node paragraph : clipboard.content.first_child().children()) {
        if (at.before) {
            at.container.insert_copy_before(paragraph, at.before);
        } else {
            at.container.append_copy(paragraph);
        }
    }
    if (replaced) {
        at.before = replaced.next_sibling();
        RemoveNodes(document, {replaced});
    }
    selection = PointSpan(document, at);
}

void PasteInline(WordDocument& document, Span& selection, const Clipboard& clipboard) {
    Point at;
    if (selection.kind == SpanKind::Field) {
        at = ReplaceFieldWithText(document, selection.field, "");
    } else if (selection.kind == SpanKind::Point) {
        at = InlinePoint(document, selection.point);
    } else {
        throw WordError("Paste: copied text cannot replace a selected row or paragraph in " + document.Name());
    }
    for (pugi::xml_node node : clipboard.content.first_child().children()) {
        if (at.before) {
            at.container.insert_copy_before(node, at.before);
        } else {
            at.container.append_copy(node);
        }
    }
    selection = PointSpan(document, at);
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
        pugi::xml_node next = NextElement(selection.node);
        while (next && !IsElement(next, names.tr)) next = NextElement(next);
        Point at = next ? StartOfRow(names, next) : AfterTable(document, TableOf(names, selection.node));
        selection = PointSpan(document, at);
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
        case SpanKind::Paragraph:
            clipboard.kind = Clipboard::Kind::Paragraphs;
            holder.append_copy(selection.node);
            break;
        case SpanKind::Field:
            clipboard.kind = Clipboard::Kind::Inline;
            for (pugi::xml_node node = selection.field->beginRun; node; node = node.next_sibling()) {
                holder.append_copy(node);
                if (node == selection.field->endRun) break;
            }
            break;
    }
    RemoveBookmarks(names, holder);
}

void Paste(WordDocument& document, Span& selection, const Clipboard& clipboard) {
    document.Check(selection);
    switch (clipboard.kind) {
        case Clipboard::Kind::Empty: throw WordError("Paste: the clipboard is empty");
        case Clipboard::Kind::Rows: PasteRows(document, selection, clipboard); break;
        case Clipboard::Kind::Paragraphs: PasteParagraphs(document, selection, clipboard); break;
        case Clipboard::Kind::Inline: PasteInline(document, selection, clipboard); break;
    }
    document.NoteInsertion();
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
            } else if (IsElement(at.before, names.tbl)) {
                Point inner = FirstParagraph(names, at.container, at.before);
                if (inner.before) paragraphs.push_back(inner.before);
            } else if (IsElement(at.before, names.p)) {
                paragraphs.push_back(at.before);
            } else {
                pugi::xml_node previous = at.before ? PreviousElement(at.before) : at.container.last_child();
                while (previous && previous.type() != pugi::node_element) previous = previous.previous_sibling();
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
        case SpanKind::Field:
            for (pugi::xml_node node = span.field->beginRun; node; node = node.next_sibling()) {
                AppendText(names, node, text);
                if (node == span.field->endRun) break;
            }
            break;
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
