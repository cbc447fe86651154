// The order in which a group's records are written: by the values of its
// grouping fields, taken in row order.
#include <algorithm>
#include <string>
#include <vector>

#include "excel/ExcelGenerator.h"
#include "generator/CancelRequested.h"

namespace {
// Each grouping field's value starts at its own column of the record key, so
// that the first field decides first.
constexpr size_t KeyColumnWidth = 100;
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
    for (int32_t record = 0; record < recordCount; ++record) recordOrder.push_back(record);
    if (recordCount > 1 && CancelRequested == 0) {
        // Stable, so records with equal keys keep their order.
        std::stable_sort(recordOrder.begin(), recordOrder.end(), [&keys](int32_t a, int32_t b) {
            return keys[static_cast<size_t>(a)] < keys[static_cast<size_t>(b)];
        });
    }
}
