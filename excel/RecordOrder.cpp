// The order in which a group's records are written: by the values of its
// grouping fields, taken in row order.
#include <algorithm>
#include <numeric>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "excel/ExcelGenerator.h"
#include "generator/CancelRequested.h"

namespace {
// Each grouping field's value starts at its own column of the record key, so
// that the first field decides first.
constexpr size_t KeyColumnWidth = 100;

// The first `count` record numbers ordered by their keys, equal keys in record
// order. A group holds many records of one key: each distinct key is compared
// only while ranking the distinct keys, and the records are then dealt out by
// rank in record order, without a comparison of their own.
std::vector<int32_t> StableKeyOrder(const std::vector<std::string>& keys, size_t count) {
    std::unordered_map<std::string_view, uint32_t> ids;
    std::vector<std::string_view> distinct;
    std::vector<uint32_t> idOf(count);
    for (size_t record = 0; record < count; ++record) {
        auto entry = ids.try_emplace(keys[record], static_cast<uint32_t>(distinct.size()));
        if (entry.second) distinct.push_back(keys[record]);
        idOf[record] = entry.first->second;
    }

    std::vector<uint32_t> ranked(distinct.size());
    std::iota(ranked.begin(), ranked.end(), 0u);
    std::sort(ranked.begin(), ranked.end(), [&distinct](uint32_t a, uint32_t b) { return distinct[a] < distinct[b]; });

    // Where each key's records start in the order.
    std::vector<size_t> next(distinct.size(), 0);
    for (uint32_t id : idOf) ++next[id];
    size_t start = 0;
    for (uint32_t id : ranked) {
        size_t records = next[id];
        next[id] = start;
        start += records;
    }

    std::vector<int32_t> order(count);
    for (size_t record = 0; record < count; ++record) order[next[idOf[record]]++] = static_cast<int32_t>(record);
    return order;
}
}

// Moves the first entry that lies below its successor to the end, until none
// does. Fields on the same row may change places; that order is kept as it is
// because it decides which of them inserts the heading blocks.
void ExcelGenerator::OrderGroupByFieldsByRow() {
    if (groupByFields.size() < 2) return;
    for (;;) {
        auto misplaced = std::adjacent_find(groupByFields.begin(), groupByFields.end(),
                                            [](Element* field, Element* next) {
                                                return IntAttribute(field, "EXCELROW", 1) >
                                                       IntAttribute(next, "EXCELROW", 1);
                                            });
        if (misplaced == groupByFields.end()) return;
        Element* field = *misplaced;
        groupByFields.erase(misplaced);
        groupByFields.push_back(field);
    }
}

void ExcelGenerator::SortRecords() {
    if (Stopped()) return;
    OrderGroupByFieldsByRow();

    int32_t recordCount = 1;
    std::vector<std::string> keys;
    for (size_t k = 0; k < groupByFields.size(); ++k) {
        Element* field = groupByFields[k];
        recordCount = IntAttribute(field, "NUMRECORDS", 1);
        if (recordCount < 0 || static_cast<uint32_t>(recordCount) != ChildCount(field)) {
            resultCode = 2;
            return;
        }
        if (k == 0) keys.assign(static_cast<size_t>(recordCount), std::string());
        // Later fields with more records than the first have no key to extend.
        if (static_cast<size_t>(recordCount) > keys.size()) {
            resultCode = 3;
            return;
        }
        size_t start = k * KeyColumnWidth;
        size_t j = 0;
        for (Element* child = NextChild(field, nullptr); child; child = NextChild(field, child), ++j) {
            std::string& key = keys[j];
            if (key.size() <= start) key.resize(start + 1, ' ');
            key += ElementContents(child);
        }
    }

    recordOrder.clear();
    if (recordCount > 1 && CancelRequested == 0) {
        recordOrder = StableKeyOrder(keys, static_cast<size_t>(recordCount));
    } else {
        for (int32_t record = 0; record < recordCount; ++record) recordOrder.push_back(record);
    }
}
