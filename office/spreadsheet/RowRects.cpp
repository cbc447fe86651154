#include "office/spreadsheet/RowRects.h"

#include <algorithm>

namespace office::spreadsheet {

void RowRects::Add(const CellRect& rect)
{
    auto place = std::upper_bound(fresh.begin(), fresh.end(), rect.top,
                                  [](int32_t row, const Entry& entry) { return row < entry.rect.top; });
    fresh.insert(place, Entry{rect, nextAdded++});
    freshHeight = std::max(freshHeight, rect.bottom - rect.top);
}

void RowRects::InsertRows(int32_t at, int32_t count)
{
    // Only a rectangle starting at most freshHeight rows above `at` can reach down to it.
    auto first = std::lower_bound(fresh.begin(), fresh.end(), at - freshHeight,
                                  [](const Entry& entry, int32_t row) { return entry.rect.top < row; });
    // Many added rectangles below `at` (rows copied below, then rows inserted
    // above them) join the others, which move through the map.
    size_t below = size_t(fresh.end() - first);
    if (below > 32 && below * 8 >= settled.size() + fresh.size()) {
        Settle();
        moved.Insert(at, count);
        return;
    }
    if (!settled.empty()) {
        moved.Insert(at, count);
    }
    for (auto entry = first; entry != fresh.end(); ++entry) {
        ShiftRowInterval(entry->rect.top, entry->rect.bottom, at, count);
        freshHeight = std::max(freshHeight, entry->rect.bottom - entry->rect.top);
    }
}

CellRect RowRects::Now(const CellRect& rect) const
{
    if (moved.Empty()) {
        return rect;
    }
    CellRect now = rect;
    now.top = int32_t(std::min<int64_t>(moved(rect.top), kMaxRow));
    now.bottom = int32_t(std::min<int64_t>(moved(rect.bottom), kMaxRow));
    return now;
}

void RowRects::Settle()
{
    if (fresh.empty() && moved.Empty()) {
        return;
    }
    for (Entry& entry : settled) {
        entry.rect = Now(entry.rect);
    }
    moved = RowMap();
    std::vector<Entry> merged;
    merged.reserve(settled.size() + fresh.size());
    std::merge(settled.begin(), settled.end(), fresh.begin(), fresh.end(), std::back_inserter(merged),
               [](const Entry& a, const Entry& b) { return a.rect.top < b.rect.top; });
    settled = std::move(merged);
    fresh.clear();
    freshHeight = 0;
}

std::vector<CellRect> RowRects::All()
{
    Settle();
    std::vector<const Entry*> order;
    order.reserve(settled.size());
    for (const Entry& entry : settled) {
        order.push_back(&entry);
    }
    std::sort(order.begin(), order.end(), [](const Entry* a, const Entry* b) { return a->number < b->number; });
    std::vector<CellRect> rects;
    rects.reserve(order.size());
    for (const Entry* entry : order) {
        rects.push_back(entry->rect);
    }
    return rects;
}

std::vector<CellRect> RowRects::Within(int32_t top, int32_t bottom) const
{
    std::vector<Numbered> found = NumberedWithin(top, bottom);
    std::vector<CellRect> rects;
    rects.reserve(found.size());
    for (const Numbered& entry : found) {
        rects.push_back(entry.rect);
    }
    return rects;
}

std::vector<RowRects::Numbered> RowRects::NumberedWithin(int32_t top, int32_t bottom) const
{
    std::vector<Entry> found;
    // Rows before the insertions land in the same order, so the settled ones stay sorted by where they are now.
    auto first = std::partition_point(settled.begin(), settled.end(),
                                      [&](const Entry& entry) { return Now(entry.rect).top < top; });
    for (auto entry = first; entry != settled.end(); ++entry) {
        CellRect now = Now(entry->rect);
        if (now.top > bottom) {
            break;
        }
        if (now.bottom <= bottom) {
            found.push_back(Entry{now, entry->number});
        }
    }
    for (auto entry = std::lower_bound(fresh.begin(), fresh.end(), top,
                                       [](const Entry& e, int32_t row) { return e.rect.top < row; });
         entry != fresh.end() && entry->rect.top <= bottom; ++entry) {
        if (entry->rect.bottom <= bottom) {
            found.push_back(*entry);
        }
    }
    std::sort(found.begin(), found.end(), [](const Entry& a, const Entry& b) { return a.number < b.number; });
    return found;
}

int32_t RowRects::LowestTop() const
{
    int32_t lowest = settled.empty() ? 0 : Now(settled.back().rect).top;
    return fresh.empty() ? lowest : std::max(lowest, fresh.back().rect.top);
}

}  // namespace office::spreadsheet
