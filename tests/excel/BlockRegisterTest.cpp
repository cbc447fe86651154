// The register of inserted heading blocks answers for exactly the records and
// template rows noted, the first note for a pair counting.
#include <gtest/gtest.h>

#include "excel/BlockRegister.h"

namespace {

TEST(BlockRegister, AnswersOnlyForNotedPairsAndKeepsTheFirstNote)
{
    BlockRegister blocks;
    EXPECT_FALSE(blocks.Find(2, 12));
    blocks.Add(5, 12, 12);
    blocks.Add(5, 13, 12);
    blocks.Add(5, 13, 13);
    blocks.Add(400000, 12, 11);
    EXPECT_EQ(blocks.Find(5, 12), 12);
    EXPECT_EQ(blocks.Find(5, 13), 12);
    EXPECT_FALSE(blocks.Find(5, 14));
    EXPECT_FALSE(blocks.Find(4, 12));
    EXPECT_FALSE(blocks.Find(6, 12));
    EXPECT_FALSE(blocks.Find(399999, 12));
    EXPECT_EQ(blocks.Find(400000, 12), 11);
    EXPECT_FALSE(blocks.Find(400001, 12));
    EXPECT_FALSE(blocks.Find(-1, 12));
}

}  // namespace
