#include "office/wordprocessor/TextEditing.h"

#include "office/package/Xml.h"
#include "office/wordprocessor/BlockNavigation.h"
#include "office/wordprocessor/WordError.h"
#include "office/wordprocessor/WordNames.h"

#include <algorithm>
#include <cstring>

namespace office::word {
namespace {

// Builds the runs of one line into the container before `before`.
class RunWriter {
public:
    RunWriter(const WordNames& names, pugi::xml_node rPr) : names_(names), rPr_(rPr) {}

    void Text(Point& at, std::string_view text) {
        if (text.empty()) return;
        pugi::xml_node t = Run(at).append_child(names_.t.c_str());
        if (text.front() == ' ' || text.back() == ' ' || text.find("  ") != std::string_view::npos) {
            t.append_attribute("xml:space").set_value("preserve");
        }
        t.append_child(pugi::node_pcdata).set_value(std::string(text).c_str());
    }

    void Mark(Point& at, const std::string& element, const char* breakType = nullptr) {
        pugi::xml_node mark = Run(at).append_child(element.c_str());
        if (breakType) mark.append_attribute(names_.type.c_str()).set_value(breakType);
    }

    void EndLine() { run_ = pugi::xml_node(); }

private:
    pugi::xml_node Run(Point& at) {
        if (run_) return run_;
        run_ = at.before ? at.container.insert_child_before(names_.r.c_str(), at.before)
                         : at.container.append_child(names_.r.c_str());
        // Proofing stays on for the text, whatever the copied formatting held.
        if (rPr_) RemoveSubtree(run_.append_copy(rPr_).child(names_.noProof.c_str()));
        return run_;
    }

    const WordNames& names_;
    pugi::xml_node rPr_;
    pugi::xml_node run_;
};

// Splits the paragraph holding the point: everything from the point on moves
// into a new paragraph after it, with the same paragraph properties.
Point SplitParagraph(const WordNames& names, Point at) {
    pugi::xml_node paragraph = at.container;
    pugi::xml_node next = paragraph.parent().insert_child_after(names.p.c_str(), paragraph);
    if (pugi::xml_node pPr = paragraph.child(names.pPr.c_str())) {
        next.append_copy(pPr);
        // A section ends at its last paragraph, which is now the new one.
        RemoveSubtree(pPr.child(names.sectPr.c_str()));
    }
    for (pugi::xml_node node = at.before; node;) {
        pugi::xml_node following = node.next_sibling();
        next.append_move(node);
        node = following;
    }
    pugi::xml_node first = next.first_child();
    while (first && IsElement(first, names.pPr)) first = first.next_sibling();
    return {next, first};
}

}  // namespace

Point InlinePoint(WordDocument& document, Point at) {
    const WordNames& names = document.Names();
    if (!IsBlockContainer(names, at.container)) return at;
    if (IsElement(at.before, names.p)) {
        pugi::xml_node first = at.before.first_child();
        while (first && IsElement(first, names.pPr)) first = first.next_sibling();
        return {at.before, first};
    }
    Point block = BlockInsertionPoint(document, at);
    pugi::xml_node paragraph = block.before ? block.container.insert_child_before(names.p.c_str(), block.before)
                                            : block.container.append_child(names.p.c_str());
    return {paragraph, pugi::xml_node()};
}

namespace {

pugi::xml_node BookmarkEnd(const WordNames& names, pugi::xml_node from, const std::string& id) {
    for (pugi::xml_node node = from; node; node = node.next_sibling()) {
        if (IsElement(node, names.bookmarkEnd) && id == node.attribute(names.id.c_str()).value()) return node;
    }
    return {};
}

// Finds the field's bookmark: a bookmarkStart of the field's name just before
// the begin run or inside the field, and the bookmarkEnd with its id after it
// or after the end run.
std::vector<pugi::xml_node> BookmarkOf(const WordNames& names, const FormField& field,
                                       const std::vector<pugi::xml_node>& content) {
    std::vector<pugi::xml_node> nodes;
    if (field.name.empty()) return nodes;
    auto matches = [&](pugi::xml_node node) {
        return IsElement(node, names.bookmarkStart) && field.name == node.attribute(names.name.c_str()).value();
    };
    pugi::xml_node start = PreviousElement(field.beginRun);
    if (!matches(start)) start = pugi::xml_node();
    for (size_t i = 0; i < content.size() && !start; ++i) {
        if (matches(content[i])) start = content[i];
    }
    if (!start) return nodes;
    nodes.push_back(start);
    const std::string id = start.attribute(names.id.c_str()).value();
    pugi::xml_node end = BookmarkEnd(names, start.next_sibling(), id);
    if (!end) end = BookmarkEnd(names, field.endRun.next_sibling(), id);
    if (end) nodes.push_back(end);
    return nodes;
}

// Properties of a container the end mark lies in stay with the container.
bool IsProperties(std::string_view name) {
    return name.size() > 2 && name.substr(name.size() - 2) == "Pr";
}

bool IsProperties(pugi::xml_node node) {
    return IsProperties(node.name());
}

// The field's paragraph takes the rest of the paragraph its end mark is in;
// a section break there stays with the joined paragraph.
void JoinParagraphs(const WordNames& names, pugi::xml_node first, pugi::xml_node last) {
    pugi::xml_node lastProperties = last.child(names.pPr.c_str());
    for (pugi::xml_node node = last.first_child(); node;) {
        pugi::xml_node next = node.next_sibling();
        if (node != lastProperties) first.append_move(node);
        node = next;
    }
    if (pugi::xml_node section = lastProperties.child(names.sectPr.c_str())) {
        pugi::xml_node properties = first.child(names.pPr.c_str());
        if (!properties) properties = first.prepend_child(names.pPr.c_str());
        properties.remove_child(names.sectPr.c_str());
        properties.append_move(section);
    }
}

}  // namespace

Point BlockInsertionPoint(const WordDocument& document, Point at) {
    if (!at.before && at.container == document.Body()) {
        pugi::xml_node last = at.container.last_child();
        while (last && last.type() != pugi::node_element) last = last.previous_sibling();
        if (IsElement(last, document.Names().sectPr)) at.before = last;
    }
    return at;
}

void RemoveNodes(WordDocument& document, const std::vector<pugi::xml_node>& nodes) {
    const char* fldChar = document.Names().fldChar.c_str();
    for (pugi::xml_node node : nodes) {
        ForEachElement(node, [&](pugi::xml_node element) {
            const char* name = element.name();
            if (std::strcmp(name, fldChar) != 0) return !IsProperties(name);
            if (std::string_view(element.attribute(document.Names().fldCharType.c_str()).value()) == "begin") {
                document.Fields().RemoveBegunBy(element.parent());
            }
            return false;
        });
    }
    for (pugi::xml_node node : nodes) RemoveSubtree(node);
    document.NoteDeletion();
}

Point InsertText(WordDocument& document, Point at, std::string_view text, pugi::xml_node rPr) {
    if (text.empty()) return at;
    const WordNames& names = document.Names();
    at = InlinePoint(document, at);
    RunWriter writer(names, rPr);
    size_t pending = 0;
    auto flush = [&](size_t end) {
        writer.Text(at, text.substr(pending, end - pending));
    };
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20) {
            // U+FFFE and U+FFFF are not allowed in XML.
            if (c == 0xEF && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0xBF &&
                (static_cast<unsigned char>(text[i + 2]) & 0xFE) == 0xBE) {
                flush(i);
                i += 2;
                pending = i + 1;
            }
            continue;
        }
        flush(i);
        pending = i + 1;
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') pending = ++i + 1;
            if (IsElement(at.container, names.p)) {
                writer.EndLine();
                at = SplitParagraph(names, at);
            } else {
                writer.Mark(at, names.br);
            }
        } else if (c == '\v') {
            writer.Mark(at, names.br);
        } else if (c == '\t') {
            writer.Mark(at, names.tab);
        } else if (c == '\f') {
            writer.Mark(at, names.br, "page");
        }
    }
    flush(text.size());
    document.NoteTextChange();
    return at;
}

std::vector<pugi::xml_node> FieldContent(const FormField& field) {
    if (field.beginRun.parent() == field.endRun.parent()) {
        // Marks in one paragraph: the content is the runs between them.
        std::vector<pugi::xml_node> content{field.beginRun};
        for (pugi::xml_node node = field.beginRun; node && node != field.endRun;) {
            node = node.next_sibling();
            if (node == field.endRun || (node.type() == pugi::node_element && !IsProperties(node))) content.push_back(node);
        }
        return content;
    }
    std::vector<const void*> holdingEnd;
    for (pugi::xml_node node = field.endRun.parent(); node; node = node.parent()) holdingEnd.push_back(node.internal_object());
    std::sort(holdingEnd.begin(), holdingEnd.end());
    auto holdsEnd = [&](pugi::xml_node node) {
        return std::binary_search(holdingEnd.begin(), holdingEnd.end(), node.internal_object());
    };
    std::vector<pugi::xml_node> content{field.beginRun};
    for (pugi::xml_node node = field.beginRun; node != field.endRun;) {
        while (node && !node.next_sibling()) node = node.parent();
        if (!node) break;
        node = node.next_sibling();
        while (holdsEnd(node)) node = node.first_child();
        if (node == field.endRun || (node.type() == pugi::node_element && !IsProperties(node))) content.push_back(node);
    }
    return content;
}

Point ReplaceFieldWithText(WordDocument& document, const FormFieldPtr& field, std::string_view text) {
    const WordNames& names = document.Names();
    pugi::xml_node container = field->beginRun.parent();
    pugi::xml_node firstParagraph = AncestorNamed(field->beginRun, names.p);
    pugi::xml_node lastParagraph = AncestorNamed(field->endRun, names.p);
    if (!firstParagraph || !lastParagraph ||
        (firstParagraph != lastParagraph &&
         AncestorNamed(firstParagraph, names.tc) != AncestorNamed(lastParagraph, names.tc))) {
        throw WordError("The form field '" + field->name + "' in " + document.Name() +
                        " begins and ends in different table cells and cannot be replaced by text");
    }
    // The new text takes the formatting of the field's first run, else of its first result run.
    pugi::xml_node rPr = field->beginRun.child(names.rPr.c_str());
    for (pugi::xml_node run = field->beginRun; run && !rPr && run != field->endRun; run = run.next_sibling()) {
        if (!run.child(names.fldChar.c_str()) ||
            std::string_view(run.child(names.fldChar.c_str()).attribute(names.fldCharType.c_str()).value()) != "separate") {
            continue;
        }
        for (pugi::xml_node result = run.next_sibling(); result && result != field->endRun; result = result.next_sibling()) {
            if (result.child(names.t.c_str())) {
                rPr = result.child(names.rPr.c_str());
                break;
            }
        }
        break;
    }
    std::vector<pugi::xml_node> doomed = FieldContent(*field);
    for (pugi::xml_node node : BookmarkOf(names, *field, doomed)) {
        if (std::find(doomed.begin(), doomed.end(), node) == doomed.end()) doomed.push_back(node);
    }
    std::vector<const void*> removed;
    for (pugi::xml_node node : doomed) removed.push_back(node.internal_object());
    std::sort(removed.begin(), removed.end());
    pugi::xml_node after = field->beginRun.next_sibling();
    while (after && std::binary_search(removed.begin(), removed.end(), after.internal_object())) after = after.next_sibling();
    if (lastParagraph == firstParagraph) {
        // The text goes in after the field's nodes, which leave once it has copied their formatting.
        Point end = InsertText(document, {container, after}, text, rPr);
        RemoveNodes(document, doomed);
        return end;
    }
    // The paragraphs join before the text goes in; the formatting is kept aside meanwhile.
    pugi::xml_document scratch;
    if (rPr) rPr = scratch.append_copy(rPr);
    RemoveNodes(document, doomed);
    pugi::xml_node rest = lastParagraph.first_child();
    if (IsElement(rest, names.pPr)) rest = rest.next_sibling();
    JoinParagraphs(names, firstParagraph, lastParagraph);
    if (!after && container == firstParagraph) after = rest;
    RemoveNodes(document, {lastParagraph});
    return InsertText(document, {container, after}, text, rPr);
}

}  // namespace office::word
