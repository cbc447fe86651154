#include "office/wordprocessor/NodeSlots.h"

namespace office::word {

void NodeSlots::Clear() {
    entries_.clear();
    size_ = 0;
}

void NodeSlots::Reserve(size_t count) {
    size_t capacity = 16;
    while (capacity < count * 2) capacity *= 2;
    if (capacity > entries_.size()) Rehash(capacity);
}

size_t NodeSlots::Home(const void* key) const {
    // Nodes are 8-byte aligned: the low bits carry nothing.
    const uint64_t mixed = (reinterpret_cast<uintptr_t>(key) >> 3) * 0x9E3779B97F4A7C15ull;
    return static_cast<size_t>(mixed >> 32) & (entries_.size() - 1);
}

size_t NodeSlots::Position(const void* key) const {
    const size_t mask = entries_.size() - 1;
    size_t at = Home(key);
    while (entries_[at].key && entries_[at].key != key) at = (at + 1) & mask;
    return at;
}

void NodeSlots::Rehash(size_t capacity) {
    std::vector<Entry> old = std::move(entries_);
    entries_.assign(capacity, Entry{});
    for (const Entry& entry : old) {
        if (entry.key) entries_[Position(entry.key)] = entry;
    }
}

void NodeSlots::Set(const void* key, size_t slot) {
    if ((size_ + 1) * 2 > entries_.size()) Reserve(size_ + 1);
    Entry& entry = entries_[Position(key)];
    if (!entry.key) {
        entry.key = key;
        ++size_;
    }
    entry.slot = slot;
}

const size_t* NodeSlots::Find(const void* key) const {
    if (entries_.empty()) return nullptr;
    const Entry& entry = entries_[Position(key)];
    return entry.key ? &entry.slot : nullptr;
}

void NodeSlots::Erase(const void* key) {
    if (entries_.empty()) return;
    const size_t mask = entries_.size() - 1;
    size_t hole = Position(key);
    if (!entries_[hole].key) return;
    --size_;
    // Later entries of the run move back into the hole when their home
    // lies at or before it, so every key stays reachable from its home.
    for (size_t next = (hole + 1) & mask; entries_[next].key; next = (next + 1) & mask) {
        const size_t home = Home(entries_[next].key);
        const bool reachesHole = ((next - home) & mask) >= ((next - hole) & mask);
        if (reachesHole) {
            entries_[hole] = entries_[next];
            hole = next;
        }
    }
    entries_[hole] = Entry{};
}

}  // namespace office::word
