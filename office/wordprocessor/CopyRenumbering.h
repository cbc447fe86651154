// What a pasted copy must not share with its original: each footnote, endnote
// and comment it refers to is copied under a new id, and its drawing,
// revision, permission-range and content-control ids are renumbered, so every
// id stays unique in the document. Paragraph ids of copies are dropped (they
// are optional and must be unique too).
#pragma once

#include "office/wordprocessor/WordNames.h"

#include <pugixml.hpp>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace office::word {

class WordDocument;

// Whether copies of the nodes under holder need renumbering at all.
bool HoldsUniqueIds(const WordNames& names, pugi::xml_node holder);

// Hands out ids not used yet, above the highest one seen, within the
// signed 32-bit range the format allows.
class FreshIds {
public:
    void Use(std::string_view text);
    std::string Next();

private:
    std::unordered_set<int64_t> used_;
    int64_t next_ = 1;
};

// Notes or comments of one part, by id; copies get fresh ids.
class CopiedNotes {
public:
    CopiedNotes(WordDocument& document, const char* relationshipType, std::string WordNames::*element);
    // The id of a new copy of the note with that id; the old id when there is no such note.
    std::string Copy(const std::string& id);

private:
    pugi::xml_node root_;
    std::string element_;
    std::string id_;
    std::string bookmarkStart_, bookmarkEnd_;
    std::unordered_map<std::string, pugi::xml_node> byId_;
    FreshIds ids_;
};

class CopyRenumbering {
public:
    // Reads the ids the document uses.
    explicit CopyRenumbering(WordDocument& document);
    void Renumber(pugi::xml_node copy);

private:
    const WordNames& names_;
    FreshIds annotations_, drawings_, controls_;
    CopiedNotes footnotes_, endnotes_, comments_;
};

}  // namespace office::word
