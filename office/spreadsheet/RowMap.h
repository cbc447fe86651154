// A run of row insertions into one sheet folded into one map from the rows as
// they were before the run to the rows after it, so that what refers to rows
// moves once for the whole run instead of once per insertion.
#pragma once

#include <cstdint>
#include <vector>

namespace office::spreadsheet {

class RowMap {
public:
    bool Empty() const { return steps.empty(); }
    // `count` rows inserted above row `at`, counted in the rows as they are
    // after the insertions already folded in.
    void Insert(int32_t at, int32_t count);
    // Where a row from before the run is now; may lie past the sheet's end.
    int64_t operator()(int32_t row) const;

private:
    struct Step {
        int32_t from;    // rows from here on (before the run) ...
        int64_t offset;  // ... moved down this far; rising with `from`
    };
    std::vector<Step> steps;  // sorted by `from`
};

}  // namespace office::spreadsheet
