// Numbers of texts by their content, in one open-addressed table: a large
// report adds a hundred thousand shared strings, and a node of a hash map for
// each costs more in memory and time than the texts themselves.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace office::spreadsheet {

class TextLookup {
public:
    std::optional<uint32_t> Find(std::string_view text) const;
    // A text not added yet; its bytes must stay in place while the lookup lives.
    void Add(std::string_view text, uint32_t number);

private:
    struct Slot {
        uint32_t hash = 0;
        uint32_t entry = 0;  // 1-based position in entries; 0 for a free slot
    };
    struct Entry {
        std::string_view text;
        uint32_t number;
    };

    void Grow();

    std::vector<Slot> slots;  // a power of two in size, at most half full
    std::vector<Entry> entries;
};

}  // namespace office::spreadsheet
