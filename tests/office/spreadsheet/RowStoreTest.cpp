// The chunked row store against a plain vector of rows, through many random
// insertions that split chunks.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "office/spreadsheet/RowStore.h"

namespace office::spreadsheet {
namespace {

int32_t Mark(const Row* row)
{
    return row && !row->cells.empty() ? row->cells.front().column : 0;
}

TEST(RowStoreTest, InsertionsKeepEveryRowInItsPlace)
{
    RowStore store;
    std::vector<int32_t> expected;  // 0 for an empty row, else the row's mark
    std::mt19937 random(42);
    auto put = [&](int32_t row, int32_t mark) {
        store.Get(row).Get(mark);
        if (expected.size() < size_t(row)) {
            expected.resize(size_t(row), 0);
        }
        expected[size_t(row - 1)] = mark;
    };
    for (int32_t row = 1; row <= 3000; row += 3) {
        put(row, row % 500 + 1);
    }
    for (int step = 0; step < 2000; ++step) {
        int32_t size = int32_t(expected.size());
        int32_t at = int32_t(random() % uint32_t(size + 10)) + 1;
        int32_t count = step % 50 == 0 ? 700 : int32_t(random() % 4) + 1;
        store.Insert(at, count);
        if (at <= size) {
            expected.insert(expected.begin() + (at - 1), size_t(count), 0);
        }
        if (step % 7 == 0) {
            put(at, step % 300 + 1);
        }
    }
    ASSERT_EQ(store.Size(), int32_t(expected.size()));
    for (int32_t row = 1; row <= store.Size(); ++row) {
        ASSERT_EQ(Mark(store.Find(row)), expected[size_t(row - 1)]) << "row " << row;
    }
    int32_t visited = 0;
    store.ForEach([&](int32_t row, const Row& r) {
        ++visited;
        EXPECT_EQ(Mark(&r), expected[size_t(row - 1)]);
    });
    EXPECT_EQ(visited, store.Size());
    EXPECT_EQ(store.Find(store.Size() + 1), nullptr);
    EXPECT_EQ(store.Find(0), nullptr);
}

TEST(RowStoreTest, CellsStayOrderedByColumn)
{
    Row row;
    for (int32_t column : {5, 2, 9, 2, 1}) {
        row.Get(column);
    }
    std::vector<int32_t> columns;
    for (const Cell& cell : row.cells) {
        columns.push_back(cell.column);
    }
    EXPECT_EQ(columns, (std::vector<int32_t>{1, 2, 5, 9}));
    EXPECT_EQ(row.Find(3), nullptr);
    row.SetAttribute("ht", "20");
    row.SetAttribute("ht", "25");
    EXPECT_EQ(*row.Attribute("ht"), "25");
    row.RemoveAttribute("ht");
    EXPECT_EQ(row.Attribute("ht"), nullptr);
    EXPECT_FALSE(row.attributes);
}

}  // namespace
}  // namespace office::spreadsheet
