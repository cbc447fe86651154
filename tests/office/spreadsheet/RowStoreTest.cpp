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

// Rows dropped off the end and grown again, between insertions that split
// chunks: the store keeps finding every row where a plain vector has it.
TEST(RowStoreTest, DroppingAndGrowingAtTheEndKeepEveryRowInItsPlace)
{
    RowStore store;
    std::vector<int32_t> expected;
    auto put = [&](int32_t row, int32_t mark) {
        store.Get(row).Get(mark);
        if (expected.size() < size_t(row)) {
            expected.resize(size_t(row), 0);
        }
        expected[size_t(row - 1)] = mark;
    };
    auto check = [&](const char* stage) {
        ASSERT_EQ(store.Size(), int32_t(expected.size())) << stage;
        for (int32_t row = 1; row <= store.Size(); ++row) {
            ASSERT_EQ(Mark(store.Find(row)), expected[size_t(row - 1)]) << stage << ", row " << row;
        }
    };
    for (int32_t row = 1; row <= 5000; row += 7) {
        put(row, row % 300 + 1);
    }
    std::mt19937 random(7);
    for (int round = 0; round < 12; ++round) {
        int32_t at = int32_t(random() % uint32_t(expected.size())) + 1;
        int32_t count = round % 3 == 0 ? 900 : int32_t(random() % 40) + 1;
        store.Insert(at, count);
        expected.insert(expected.begin() + (at - 1), size_t(count), 0);
        check("inserted");
        int32_t last = int32_t(expected.size()) - int32_t(random() % 400) - 1;
        store.DropAfter(last);
        expected.resize(size_t(last));
        check("dropped");
        put(last + int32_t(random() % 700) + 1, round + 1);
        check("grown");
    }
    store.DropAfter(0);
    EXPECT_EQ(store.Size(), 0);
    EXPECT_EQ(store.Find(1), nullptr);
    store.Get(3).Get(9);
    EXPECT_EQ(Mark(store.Find(3)), 9);
    EXPECT_EQ(Mark(store.Find(2)), 0);
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
