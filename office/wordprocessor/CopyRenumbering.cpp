#include "office/wordprocessor/CopyRenumbering.h"

#include "office/package/Xml.h"
#include "office/wordprocessor/FormField.h"
#include "office/wordprocessor/WordDocument.h"

#include <charconv>
#include <limits>
#include <vector>

namespace office::word {
namespace {

constexpr int64_t kLargestId = std::numeric_limits<int32_t>::max();

std::string_view LocalName(std::string_view qualified) {
    size_t colon = qualified.find(':');
    return colon == std::string_view::npos ? qualified : qualified.substr(colon + 1);
}

bool IsParagraphId(pugi::xml_attribute attribute) {
    std::string_view local = LocalName(attribute.name());
    return local == "paraId" || local == "textId";
}

void DropParagraphIds(pugi::xml_node element) {
    std::vector<pugi::xml_attribute> doomed;
    for (pugi::xml_attribute attribute : element.attributes()) {
        if (IsParagraphId(attribute)) doomed.push_back(attribute);
    }
    for (pugi::xml_attribute attribute : doomed) element.remove_attribute(attribute);
}

bool IsControlId(const WordNames& names, pugi::xml_node element) {
    return IsElement(element, names.id) && IsElement(element.parent(), names.sdtPr);
}

bool IsDrawing(pugi::xml_node element) {
    return LocalName(element.name()) == "docPr";
}

bool IsCommentMark(const WordNames& names, pugi::xml_node element) {
    return IsElement(element, names.commentRangeStart) || IsElement(element, names.commentRangeEnd) ||
           IsElement(element, names.commentReference);
}

}  // namespace

bool HoldsUniqueIds(const WordNames& names, pugi::xml_node holder) {
    bool found = false;
    ForEachElement(holder, [&](pugi::xml_node element) {
        if (found) return false;
        found = element.attribute(names.id.c_str()) || IsDrawing(element) || IsControlId(names, element);
        for (pugi::xml_attribute attribute : element.attributes()) found = found || IsParagraphId(attribute);
        return !found;
    });
    return found;
}

void FreshIds::Use(std::string_view text) {
    int64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return;
    used_.insert(value);
    if (value >= next_ && value < kLargestId) next_ = value + 1;
}

std::string FreshIds::Next() {
    while (used_.count(next_) || next_ > kLargestId) next_ = next_ >= kLargestId ? 1 : next_ + 1;
    used_.insert(next_);
    return std::to_string(next_);
}

CopiedNotes::CopiedNotes(WordDocument& document, const char* relationshipType, std::string WordNames::*element) {
    pugi::xml_document* part = document.RelatedPart(relationshipType);
    if (!part) return;
    root_ = part->document_element();
    const WordNames names(root_);
    element_ = names.*element;
    id_ = names.id;
    bookmarkStart_ = names.bookmarkStart;
    bookmarkEnd_ = names.bookmarkEnd;
    for (pugi::xml_node note : root_.children(element_.c_str())) {
        const char* id = note.attribute(id_.c_str()).value();
        byId_.emplace(id, note);
        ids_.Use(id);
    }
}

std::string CopiedNotes::Copy(const std::string& id) {
    auto found = byId_.find(id);
    if (found == byId_.end()) return id;
    pugi::xml_node copy = root_.append_copy(found->second);
    const std::string fresh = ids_.Next();
    copy.attribute(id_.c_str()).set_value(fresh.c_str());
    // As in pasted copies, bookmarks stay with the original.
    std::vector<pugi::xml_node> bookmarks;
    // A bookmark is not descended into, so no collected node lies inside another.
    ForEachElement(copy, [&](pugi::xml_node node) {
        DropParagraphIds(node);
        if (!IsElement(node, bookmarkStart_) && !IsElement(node, bookmarkEnd_)) return true;
        bookmarks.push_back(node);
        return false;
    });
    for (pugi::xml_node node : bookmarks) RemoveSubtree(node);
    return fresh;
}

CopyRenumbering::CopyRenumbering(WordDocument& document)
    : names_(document.Names()),
      footnotes_(document, "http://schemas.openxmlformats.org/officeDocument/2006/relationships/footnotes", &WordNames::footnote),
      endnotes_(document, "http://schemas.openxmlformats.org/officeDocument/2006/relationships/endnotes", &WordNames::endnote),
      comments_(document, "http://schemas.openxmlformats.org/officeDocument/2006/relationships/comments", &WordNames::comment) {
    ForEachElement(document.Body(), [&](pugi::xml_node element) {
        if (pugi::xml_attribute id = element.attribute(names_.id.c_str())) annotations_.Use(id.value());
        if (IsDrawing(element)) drawings_.Use(element.attribute("id").value());
        if (IsControlId(names_, element)) controls_.Use(element.attribute(names_.val.c_str()).value());
    });
}

void CopyRenumbering::Renumber(pugi::xml_node copy) {
    // Marks that pair up (a range's start and end, a comment's range and
    // reference) keep pairing under their new ids.
    std::unordered_map<std::string, std::string> comments, annotations;
    ForEachElement(copy, [&](pugi::xml_node element) {
        DropParagraphIds(element);
        if (IsDrawing(element)) {
            element.attribute("id").set_value(drawings_.Next().c_str());
            return;
        }
        if (IsControlId(names_, element)) {
            element.attribute(names_.val.c_str()).set_value(controls_.Next().c_str());
            return;
        }
        pugi::xml_attribute id = element.attribute(names_.id.c_str());
        if (!id) return;
        const std::string old = id.value();
        std::string fresh;
        if (IsElement(element, names_.footnoteReference)) {
            fresh = footnotes_.Copy(old);
        } else if (IsElement(element, names_.endnoteReference)) {
            fresh = endnotes_.Copy(old);
        } else if (IsCommentMark(names_, element)) {
            auto [slot, added] = comments.try_emplace(old);
            if (added) slot->second = comments_.Copy(old);
            fresh = slot->second;
        } else {
            auto [slot, added] = annotations.try_emplace(old);
            if (added) slot->second = annotations_.Next();
            fresh = slot->second;
        }
        id.set_value(fresh.c_str());
    });
}

}  // namespace office::word
