// Rectangles of one sheet that move with inserted rows (merged cells, links),
// kept by their first row: the ones that stood before a run of insertions
// move once, through a folded row map, when they are next listed; the ones
// added during the run move at once, but only those at or below the
// insertion. Copying rows finds the rectangles inside them by search, not by
// walking them all.
#pragma once

#include <cstdint>
#include <vector>

#include "office/spreadsheet/CellAddress.h"
#include "office/spreadsheet/RowMap.h"

namespace office::spreadsheet {

class RowRects {
public:
    bool Empty() const { return settled.empty() && fresh.empty(); }
    void Add(const CellRect& rect);
    // `count` rows inserted above row `at`: rectangles below move, those across it grow.
    void InsertRows(int32_t at, int32_t count);
    // Every rectangle, in the order they were added.
    std::vector<CellRect> All();
    // The rectangles that lie in the rows top..bottom, in the order they were added.
    std::vector<CellRect> Within(int32_t top, int32_t bottom) const;
    // The same with each one's place in the order of adding (0 for the first
    // added), so that callers can keep what belongs to a rectangle beside it.
    struct Numbered {
        CellRect rect;
        uint64_t number;
    };
    std::vector<Numbered> NumberedWithin(int32_t top, int32_t bottom) const;
    // The lowest first row of any rectangle; 0 when there is none.
    int32_t LowestTop() const;

private:
    using Entry = Numbered;
    CellRect Now(const CellRect& rect) const;
    void Settle();

    std::vector<Entry> settled;  // sorted by top; rows as before the insertions `moved` folds
    RowMap moved;
    std::vector<Entry> fresh;  // added since, sorted by top; rows as they are
    int32_t freshHeight = 0;   // the most rows a fresh rectangle spans, less one
    uint64_t nextAdded = 0;
};

}  // namespace office::spreadsheet
