#include "office/spreadsheet/TextLookup.h"

#include <algorithm>
#include <functional>

namespace office::spreadsheet {
namespace {

uint32_t HashOf(std::string_view text)
{
    return uint32_t(std::hash<std::string_view>{}(text));
}

}  // namespace

std::optional<uint32_t> TextLookup::Find(std::string_view text) const
{
    if (slots.empty()) {
        return std::nullopt;
    }
    const uint32_t hash = HashOf(text);
    const size_t mask = slots.size() - 1;
    // Ends at a free slot: the table is never more than half full.
    for (size_t at = hash & mask;; at = (at + 1) & mask) {
        const Slot& slot = slots[at];
        if (slot.entry == 0) {
            return std::nullopt;
        }
        if (slot.hash == hash && entries[slot.entry - 1].text == text) {
            return entries[slot.entry - 1].number;
        }
    }
}

void TextLookup::Add(std::string_view text, uint32_t number)
{
    if (2 * (entries.size() + 1) > slots.size()) {
        Grow();
    }
    entries.push_back({text, number});
    const uint32_t hash = HashOf(text);
    const size_t mask = slots.size() - 1;
    size_t at = hash & mask;
    while (slots[at].entry != 0) {
        at = (at + 1) & mask;
    }
    slots[at] = {hash, uint32_t(entries.size())};
}

void TextLookup::Grow()
{
    std::vector<Slot> old(std::max<size_t>(1024, 2 * slots.size()));
    old.swap(slots);
    const size_t mask = slots.size() - 1;
    for (const Slot& slot : old) {
        if (slot.entry == 0) {
            continue;
        }
        size_t at = slot.hash & mask;
        while (slots[at].entry != 0) {
            at = (at + 1) & mask;
        }
        slots[at] = slot;
    }
}

}  // namespace office::spreadsheet
