// Slot numbers keyed by node address, for the field index: an open-addressing
// table in one array, since a paste of many rows asks it some ten times per
// field and a node-based map spends most of that in allocation and misses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace office::word {

class NodeSlots {
public:
    void Clear();
    // Makes room for `count` keys without growing while they go in.
    void Reserve(size_t count);
    // Sets the slot of key (not null), adding it when absent.
    void Set(const void* key, size_t slot);
    // The slot of key, or null when absent; valid until the next change.
    const size_t* Find(const void* key) const;
    void Erase(const void* key);
    size_t Size() const { return size_; }

private:
    struct Entry {
        const void* key = nullptr;  // null: empty
        size_t slot = 0;
    };

    size_t Home(const void* key) const;
    size_t Position(const void* key) const;  // of key, or of the empty entry where it would go
    void Rehash(size_t capacity);

    std::vector<Entry> entries_;  // a power of two in size, at most half full
    size_t size_ = 0;
};

}  // namespace office::word
