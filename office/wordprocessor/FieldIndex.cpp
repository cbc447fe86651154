#include "office/wordprocessor/FieldIndex.h"

#include "office/wordprocessor/FieldPlaces.h"
#include "office/wordprocessor/WordNames.h"

#include <cstring>

namespace office::word {
namespace {

char32_t FoldLetter(char32_t c) {
    if (c >= 'A' && c <= 'Z') return c + 32;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 32;
    if (c >= 0x410 && c <= 0x42F) return c + 32;
    if (c >= 0x400 && c <= 0x40F) return c + 80;
    return c;
}

}  // namespace

std::string FoldName(std::string_view utf8) {
    std::string folded;
    folded.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        unsigned char lead = static_cast<unsigned char>(utf8[i]);
        size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        if (i + length > utf8.size() || length == 1) {
            folded.push_back(static_cast<char>(FoldLetter(lead)));
            ++i;
            continue;
        }
        char32_t c = length == 2 ? (lead & 0x1F) : length == 3 ? (lead & 0x0F) : (lead & 0x07);
        for (size_t k = 1; k < length; ++k) c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        char32_t lower = FoldLetter(c);
        if (lower == c || lower >= 0x800) {
            folded.append(utf8.substr(i, length));
        } else {
            folded.push_back(static_cast<char>(0xC0 | (lower >> 6)));
            folded.push_back(static_cast<char>(0x80 | (lower & 0x3F)));
        }
        i += length;
    }
    return folded;
}

void FieldIndex::Add(size_t slot, int delta) {
    for (size_t i = slot + 1; i <= tree_.size(); i += i & (~i + 1)) tree_[i - 1] += delta;
}

void FieldIndex::Refresh() {
    if (!stale_) return;
    stale_ = false;
    std::unordered_map<const void*, FormFieldPtr> previous;
    for (const FormFieldPtr& field : fields_) {
        if (field->alive) previous.emplace(field->beginRun.internal_object(), field);
    }
    std::vector<FormField> scan = ScanFormFields(root_, names_);
    fields_.clear();
    fields_.reserve(scan.size());
    slotOfBegin_.Clear();
    slotOfBegin_.Reserve(scan.size());
    for (FormField& scanned : scan) {
        const void* key = scanned.beginRun.internal_object();
        auto found = previous.find(key);
        FormFieldPtr field;
        if (found != previous.end()) {
            field = found->second;
            field->endRun = scanned.endRun;
        } else {
            field = std::make_shared<FormField>(std::move(scanned));
        }
        slotOfBegin_.Set(key, fields_.size());
        fields_.push_back(std::move(field));
    }
    treeStale_ = true;
    namesStale_ = true;
}

void FieldIndex::BuildTree() {
    if (!treeStale_) return;
    treeStale_ = false;
    tree_.assign(fields_.size(), 0);
    live_ = 0;
    for (size_t i = 1; i <= tree_.size(); ++i) {
        if (fields_[i - 1]->alive) {
            tree_[i - 1] += 1;
            ++live_;
        }
        size_t parent = i + (i & (~i + 1));
        if (parent <= tree_.size()) tree_[parent - 1] += tree_[i - 1];
    }
}

void FieldIndex::BuildNames() {
    if (!namesStale_) return;
    namesStale_ = false;
    byName_.clear();
    for (size_t slot = 0; slot < fields_.size(); ++slot) {
        if (fields_[slot]->alive) byName_[FoldName(fields_[slot]->name)].push_back(slot);
    }
}

std::optional<size_t> FieldIndex::FieldsBefore(pugi::xml_node node) const {
    // Rows and paragraphs pasted one after the other find the fields of the
    // previous copy within a few hundred nodes.
    constexpr size_t kLookBack = 4096;
    const char* fldChar = names_.fldChar.c_str();
    for (size_t step = 0; step < kLookBack; ++step) {
        if (pugi::xml_node sibling = node.previous_sibling()) {
            node = sibling;
            while (node.last_child()) node = node.last_child();
        } else {
            node = node.parent();
            if (!node || node == root_) return 0;
        }
        if (node.type() != pugi::node_element || std::strcmp(node.name(), fldChar) != 0 ||
            std::string_view(node.attribute(names_.fldCharType.c_str()).value()) != "begin") {
            continue;
        }
        if (const size_t* slot = slotOfBegin_.Find(node.parent().internal_object())) return *slot + 1;
    }
    return std::nullopt;
}

void FieldIndex::Pasted(const std::vector<pugi::xml_node>& copy, const FieldPlaces& places) {
    // Moving the slots behind an insertion costs as much as a scan when many follow it.
    constexpr size_t kMostSlotsMoved = 256;
    if (stale_ || copy.empty()) return;
    pugi::xml_node holder = copy.front().parent();
    for (; holder && holder != root_; holder = holder.parent()) {
        if (!HoldsFieldsOfTheStory(holder)) return;
    }
    if (!holder || !places.SelfContained()) {
        stale_ = true;
        return;
    }
    std::vector<FormField> found = places.In(copy);
    if (found.empty()) return;
    std::optional<size_t> slot = FieldsBefore(copy.front());
    if (!slot || fields_.size() - *slot > kMostSlotsMoved) {
        stale_ = true;
        return;
    }
    const size_t count = found.size();
    for (size_t moved = *slot; moved < fields_.size(); ++moved) {
        if (fields_[moved]->alive) slotOfBegin_.Set(fields_[moved]->beginRun.internal_object(), moved + count);
    }
    std::vector<FormFieldPtr> added;
    added.reserve(count);
    for (FormField& field : found) {
        slotOfBegin_.Set(field.beginRun.internal_object(), *slot + added.size());
        added.push_back(std::make_shared<FormField>(std::move(field)));
    }
    fields_.insert(fields_.begin() + static_cast<std::ptrdiff_t>(*slot), added.begin(), added.end());
    treeStale_ = true;
    namesStale_ = true;
}

size_t FieldIndex::Count() {
    Refresh();
    BuildTree();
    return live_;
}

FormFieldPtr FieldIndex::At(size_t position) {
    Refresh();
    BuildTree();
    if (position == 0 || position > live_) return nullptr;
    size_t slot = 0;
    size_t step = 1;
    while (step * 2 <= tree_.size()) step *= 2;
    size_t remaining = position;
    for (; step > 0; step /= 2) {
        if (slot + step <= tree_.size() && static_cast<size_t>(tree_[slot + step - 1]) < remaining) {
            slot += step;
            remaining -= static_cast<size_t>(tree_[slot - 1]);
        }
    }
    return fields_[slot];
}

FormFieldPtr FieldIndex::ByName(std::string_view name) {
    Refresh();
    BuildNames();
    auto found = byName_.find(FoldName(name));
    if (found == byName_.end()) return nullptr;
    std::vector<size_t>& slots = found->second;
    // Dead fields stay dead until the names are built again, so they can be dropped from the front.
    size_t skip = 0;
    while (skip < slots.size() && !fields_[slots[skip]]->alive) ++skip;
    slots.erase(slots.begin(), slots.begin() + static_cast<std::ptrdiff_t>(skip));
    return slots.empty() ? nullptr : fields_[slots.front()];
}

std::vector<FormFieldPtr> FieldIndex::FieldsUnder(pugi::xml_node subtree) {
    Refresh();
    std::vector<FormFieldPtr> fields;
    for (const FormField& scanned : ScanFormFields(subtree, names_)) {
        const size_t* slot = slotOfBegin_.Find(scanned.beginRun.internal_object());
        if (slot && fields_[*slot]->alive) fields.push_back(fields_[*slot]);
    }
    return fields;
}

void FieldIndex::RemoveBegunBy(pugi::xml_node run) {
    Refresh();
    const void* key = run.internal_object();
    const size_t* found = slotOfBegin_.Find(key);
    if (!found) return;
    const size_t slot = *found;
    // The run is about to be freed, and a new node may take its address.
    slotOfBegin_.Erase(key);
    if (!fields_[slot]->alive) return;
    fields_[slot]->alive = false;
    if (treeStale_) return;
    Add(slot, -1);
    --live_;
}

void FieldIndex::Retire() {
    for (const FormFieldPtr& field : fields_) field->alive = false;
    stale_ = true;
}

}  // namespace office::word
