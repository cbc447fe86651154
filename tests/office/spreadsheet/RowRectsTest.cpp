// Merged-cell rectangles kept by row against a plain list moved on every
// insertion: the order they were added, the ones inside copied rows and the
// lowest top stay the same through runs of insertions.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "office/spreadsheet/RowRects.h"

namespace office::spreadsheet {
namespace {

bool Same(const CellRect& a, const CellRect& b)
{
    return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

std::vector<CellRect> PlainWithin(const std::vector<CellRect>& rects, int32_t top, int32_t bottom)
{
    std::vector<CellRect> inside;
    for (const CellRect& rect : rects) {
        if (rect.top >= top && rect.bottom <= bottom) {
            inside.push_back(rect);
        }
    }
    return inside;
}

void ExpectSame(const std::vector<CellRect>& got, const std::vector<CellRect>& expected, const char* what)
{
    ASSERT_EQ(got.size(), expected.size()) << what;
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_TRUE(Same(got[i], expected[i])) << what << " #" << i << ": rows " << got[i].top << "-"
                                               << got[i].bottom << ", expected " << expected[i].top << "-"
                                               << expected[i].bottom;
    }
}

// A grouped report's pattern (detail rows copied below, headings inserted
// down the sheet), then insertions anywhere, near the sheet's end included.
TEST(RowRectsTest, RunsOfInsertionsMoveEveryRectangleAsThePlainListDoes)
{
    RowRects rects;
    std::vector<CellRect> plain;
    auto add = [&](CellRect rect) {
        rects.Add(rect);
        plain.push_back(rect);
    };
    auto insert = [&](int32_t at, int32_t count) {
        rects.InsertRows(at, count);
        for (CellRect& rect : plain) {
            ShiftRowInterval(rect.top, rect.bottom, at, count);
        }
    };
    auto lowest = [&] {
        int32_t top = 0;
        for (const CellRect& rect : plain) {
            top = std::max(top, rect.top);
        }
        return top;
    };
    add({3, 1, 4, 2});   // across the heading rows
    add({10, 5, 10, 6});  // the detail row
    add({1, 1, 1, 4});
    for (int32_t row = 11; row < 211; ++row) {
        add({row, 5, row, 6});
    }
    for (int32_t at = 10; at < 600; at += 7) {
        insert(at, 2);
        add({at, 1, at + 1, 3});
        ExpectSame(rects.Within(at, at + 1), PlainWithin(plain, at, at + 1), "copied heading");
        ASSERT_EQ(rects.LowestTop(), lowest());
    }
    std::mt19937 random(7);
    for (int step = 0; step < 300; ++step) {
        int32_t at = int32_t(random() % 700) + 1;
        if (random() % 3 == 0) {
            add({at, 2, at + int32_t(random() % 4), 2});
        } else {
            insert(at, int32_t(random() % 3) + 1);
        }
        int32_t top = int32_t(random() % 700) + 1;
        ExpectSame(rects.Within(top, top + 20), PlainWithin(plain, top, top + 20), "random block");
        ASSERT_EQ(rects.LowestTop(), lowest());
        if (step % 100 == 99) {
            ExpectSame(rects.All(), plain, "all");
        }
    }
    add({kMaxRow - 5, 1, kMaxRow - 1, 1});
    insert(kMaxRow - 3, 10);
    insert(500, 1000);
    ExpectSame(rects.All(), plain, "after pushing rows against the end");
}

}  // namespace
}  // namespace office::spreadsheet
