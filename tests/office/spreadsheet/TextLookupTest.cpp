#include <gtest/gtest.h>

#include <deque>
#include <string>

#include "office/spreadsheet/TextLookup.h"

namespace office::spreadsheet {
namespace {

// Through every growth of the table, each text keeps its number, texts that
// differ only slightly are told apart, and absent ones are not found.
TEST(TextLookup, EveryTextKeepsItsNumberAsTheTableGrows)
{
    TextLookup lookup;
    EXPECT_FALSE(lookup.Find(""));
    std::deque<std::string> texts;
    for (uint32_t i = 0; i < 50'000; ++i) {
        texts.push_back(i == 7 ? std::string() : "Item " + std::to_string(i));
        lookup.Add(texts.back(), 3 * i);
        if (i % 4999 == 0) {
            for (uint32_t j = 0; j <= i; ++j) {
                ASSERT_EQ(lookup.Find(texts[j]), 3 * j) << texts[j];
            }
        }
    }
    EXPECT_EQ(lookup.Find(""), 21u);
    EXPECT_FALSE(lookup.Find("Item 50000"));
    EXPECT_FALSE(lookup.Find("Item 1 "));
    EXPECT_FALSE(lookup.Find("item 1"));
}

}  // namespace
}  // namespace office::spreadsheet
