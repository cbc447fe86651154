// The hyperlinks of a sheet that cover one rectangle each, kept by row: a
// grouped report copies its detail row's link with every record, and the rows
// inserted above thousands of such links move them once per run instead of
// walking them all on every insertion.
#pragma once

#include <pugixml.hpp>

#include <cstdint>
#include <vector>

#include "office/spreadsheet/CellAddress.h"
#include "office/spreadsheet/RowRects.h"

namespace office::spreadsheet {

class SheetHyperlinks {
public:
    struct Link {
        pugi::xml_node element;
        CellRect rect;
    };

    void Add(pugi::xml_node element, const CellRect& rect);
    void InsertRows(int32_t at, int32_t count) { rects.InsertRows(at, count); }
    // The links that lie in the rows top..bottom, in the order they were added.
    std::vector<Link> Within(int32_t top, int32_t bottom) const;
    // The lowest first row of any link; 0 when there is none.
    int32_t LowestTop() const { return rects.LowestTop(); }
    // Puts the rows the links have now into their ref attributes.
    void Write();

private:
    std::vector<pugi::xml_node> elements;  // in the order added, numbered as in `rects`
    RowRects rects;
};

}  // namespace office::spreadsheet
