#include "office/spreadsheet/RowMap.h"

#include <algorithm>

namespace office::spreadsheet {

void RowMap::Insert(int32_t at, int32_t count)
{
    // The first step whose rows now lie at or below `at`; rows before the run
    // land in increasing order, so where a step starts now rises with the steps.
    auto first = std::partition_point(steps.begin(), steps.end(),
                                      [at](const Step& step) { return step.from + step.offset < at; });
    int64_t before = first == steps.begin() ? 0 : std::prev(first)->offset;
    // The lowest row from before the run that is now at `at` or below: inside the
    // previous step, or, when `at` falls among rows inserted earlier, where this step starts.
    int64_t from = at - before;
    if (first != steps.end() && from >= first->from) {
        from = first->from;
    } else {
        first = steps.insert(first, Step{int32_t(from), before});
    }
    for (auto step = first; step != steps.end(); ++step) {
        step->offset += count;
    }
}

int64_t RowMap::operator()(int32_t row) const
{
    auto after = std::upper_bound(steps.begin(), steps.end(), row,
                                  [](int32_t r, const Step& step) { return r < step.from; });
    return after == steps.begin() ? row : row + std::prev(after)->offset;
}

}  // namespace office::spreadsheet
