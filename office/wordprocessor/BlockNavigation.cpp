#include "office/wordprocessor/BlockNavigation.h"

#include "office/wordprocessor/FormField.h"

namespace office::word {
namespace {

pugi::xml_node Neighbour(pugi::xml_node node, bool forward) {
    return forward ? NextElement(node) : PreviousElement(node);
}

pugi::xml_node EdgeChild(pugi::xml_node container, bool forward) {
    pugi::xml_node child = forward ? container.first_child() : container.last_child();
    while (child && child.type() != pugi::node_element) child = forward ? child.next_sibling() : child.previous_sibling();
    return child;
}

// From `candidate`, the raw neighbour of `node`: a control stands for its
// content, an empty control is passed over, and the end of a control's
// content continues after the control, but never out of `boundary`.
pugi::xml_node Settle(const WordNames& names, pugi::xml_node node, pugi::xml_node candidate, bool forward,
                      pugi::xml_node boundary) {
    for (;;) {
        if (!candidate) {
            pugi::xml_node parent = node.parent();
            if (parent == boundary || !IsElement(parent, names.sdtContent)) return {};
            node = parent.parent();
            candidate = Neighbour(node, forward);
            continue;
        }
        if (!IsElement(candidate, names.sdt)) return candidate;
        pugi::xml_node inner = EdgeChild(candidate.child(names.sdtContent.c_str()), forward);
        if (inner) {
            candidate = inner;
            continue;
        }
        node = candidate;
        candidate = Neighbour(node, forward);
    }
}

pugi::xml_node VisibleEdgeChild(const WordNames& names, pugi::xml_node container, bool forward) {
    pugi::xml_node first = EdgeChild(container, forward);
    return first ? Settle(names, first, first, forward, container) : pugi::xml_node();
}

// The control around node when node opens (or closes) its content.
pugi::xml_node OutermostAtEdge(const WordNames& names, pugi::xml_node node, bool forward) {
    for (pugi::xml_node parent = node.parent(); IsElement(parent, names.sdtContent) && EdgeChild(parent, forward) == node;
         parent = node.parent()) {
        node = parent.parent();
    }
    return node;
}

}  // namespace

ContentLevel LevelOfContent(const WordNames& names, pugi::xml_node sdtContent) {
    pugi::xml_node holder = sdtContent.parent().parent();
    while (IsElement(holder, names.sdtContent)) holder = holder.parent().parent();
    if (IsElement(holder, names.tbl)) return ContentLevel::Rows;
    if (IsElement(holder, names.tr)) return ContentLevel::Cells;
    if (IsElement(holder, names.p)) return ContentLevel::Inline;
    if (IsElement(holder, names.body) || IsElement(holder, names.tc)) return ContentLevel::Blocks;
    // Inside another wrapper (a hyperlink, a revision, custom XML): judged by what it holds.
    return sdtContent.child(names.p.c_str()) || sdtContent.child(names.tbl.c_str()) ? ContentLevel::Blocks
                                                                                      : ContentLevel::Inline;
}

bool IsBlockContainer(const WordNames& names, pugi::xml_node node) {
    if (IsElement(node, names.body) || IsElement(node, names.tc)) return true;
    return IsElement(node, names.sdtContent) && LevelOfContent(names, node) == ContentLevel::Blocks;
}

pugi::xml_node NextElement(pugi::xml_node node) {
    for (node = node.next_sibling(); node && node.type() != pugi::node_element; node = node.next_sibling()) {}
    return node;
}

pugi::xml_node PreviousElement(pugi::xml_node node) {
    for (node = node.previous_sibling(); node && node.type() != pugi::node_element; node = node.previous_sibling()) {}
    return node;
}

pugi::xml_node NextVisible(const WordNames& names, pugi::xml_node node) {
    return Settle(names, node, NextElement(node), true, pugi::xml_node());
}

pugi::xml_node PreviousVisible(const WordNames& names, pugi::xml_node node) {
    return Settle(names, node, PreviousElement(node), false, pugi::xml_node());
}

pugi::xml_node FirstVisibleChild(const WordNames& names, pugi::xml_node container) {
    return VisibleEdgeChild(names, container, true);
}

pugi::xml_node LastVisibleChild(const WordNames& names, pugi::xml_node container) {
    return VisibleEdgeChild(names, container, false);
}

pugi::xml_node NextRow(const WordNames& names, pugi::xml_node row) {
    pugi::xml_node next = NextVisible(names, row);
    while (next && !IsElement(next, names.tr)) next = NextVisible(names, next);
    return next;
}

pugi::xml_node TableOf(const WordNames& names, pugi::xml_node row) {
    return AncestorNamed(row.parent(), names.tbl);
}

pugi::xml_node FirstParagraphUnder(const WordNames& names, pugi::xml_node node) {
    pugi::xml_node current = node;
    while (current) {
        if (IsElement(current, names.p)) return current;
        pugi::xml_node child = current.type() == pugi::node_element ? current.first_child() : pugi::xml_node();
        if (child) {
            current = child;
            continue;
        }
        while (current != node && !current.next_sibling()) current = current.parent();
        if (current == node) return {};
        current = current.next_sibling();
    }
    return {};
}

pugi::xml_node OutermostStartingWith(const WordNames& names, pugi::xml_node node) {
    return OutermostAtEdge(names, node, true);
}

pugi::xml_node OutermostEndingWith(const WordNames& names, pugi::xml_node node) {
    return OutermostAtEdge(names, node, false);
}

}  // namespace office::word
