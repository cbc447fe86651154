// The form fields of the main story in document order, kept between calls:
// FormFields.Item(i) and Count are answered without scanning the document,
// and a field replaced by text drops out in O(log n). The fields of a pasted
// copy join at their place when a field the index knows lies shortly before
// it; otherwise the index goes stale and the next query scans the story once.
#pragma once

#include "office/wordprocessor/FormField.h"
#include "office/wordprocessor/NodeSlots.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace office::word {

class FieldPlaces;

class FieldIndex {
public:
    FieldIndex(pugi::xml_node root, const WordNames& names) : root_(root), names_(names) {}

    // A pasted copy was inserted as these consecutive siblings: its fields
    // join the index without a scan of the story where that is cheap.
    void Pasted(const std::vector<pugi::xml_node>& copy, const FieldPlaces& places);

    size_t Count();
    // 1-based position among the fields still in the document; null when out of range.
    FormFieldPtr At(size_t position);
    // First field in document order whose name matches, ignoring case; null when none.
    FormFieldPtr ByName(std::string_view name);
    // The fields whose begin mark lies under subtree, in document order.
    std::vector<FormFieldPtr> FieldsUnder(pugi::xml_node subtree);

    // The field whose begin mark is in the run, if any, leaves the document
    // (replaced by text or deleted).
    void RemoveBegunBy(pugi::xml_node run);
    // Every field leaves: the XML they point into is about to go.
    void Retire();

private:
    void Refresh();
    void Add(size_t slot, int delta);
    // The count of indexed fields before node in document order, looking
    // back a bounded way; nullopt when the answer lies further back.
    std::optional<size_t> FieldsBefore(pugi::xml_node node) const;
    // The live-field tree and the names follow the slots only when asked.
    void BuildTree();
    void BuildNames();

    pugi::xml_node root_;
    const WordNames& names_;
    bool stale_ = true;
    bool treeStale_ = false;
    bool namesStale_ = false;
    std::vector<FormFieldPtr> fields_;                              // document order, dead ones included
    std::vector<int> tree_;                                         // Fenwick tree of live fields
    size_t live_ = 0;
    NodeSlots slotOfBegin_;                                         // begin run of a live field -> slot
    std::unordered_map<std::string, std::vector<size_t>> byName_;  // folded name -> slots
};

// Case folding for field names (ASCII, Latin-1, Greek and Cyrillic letters).
std::string FoldName(std::string_view utf8);

}  // namespace office::word
