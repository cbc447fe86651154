// The field index's address table must answer as a standard map does through
// any mix of additions, changes and removals, above all removals inside runs
// of colliding keys, after which every other key must still be found.
#include "office/wordprocessor/NodeSlots.h"

#include <gtest/gtest.h>

#include <random>
#include <unordered_map>
#include <vector>

namespace {

using office::word::NodeSlots;

void ExpectSame(const NodeSlots& slots, const std::unordered_map<const void*, size_t>& expected,
                const std::vector<long long>& keys) {
    ASSERT_EQ(slots.Size(), expected.size());
    for (const long long& key : keys) {
        auto found = expected.find(&key);
        const size_t* slot = slots.Find(&key);
        if (found == expected.end()) {
            EXPECT_EQ(slot, nullptr);
        } else {
            ASSERT_NE(slot, nullptr);
            EXPECT_EQ(*slot, found->second);
        }
    }
}

TEST(NodeSlots, AgreesWithAStandardMapThroughRandomChanges) {
    // Neighbouring addresses, as nodes of one page have.
    std::vector<long long> keys(3000);
    std::mt19937 random(7);
    for (size_t size : {5u, 40u, 3000u}) {
        NodeSlots slots;
        std::unordered_map<const void*, size_t> expected;
        for (int step = 0; step < 40000; ++step) {
            const long long* key = &keys[random() % size];
            if (random() % 3 == 0) {
                slots.Erase(key);
                expected.erase(key);
            } else {
                const size_t slot = random();
                slots.Set(key, slot);
                expected[key] = slot;
            }
            if (step % 5000 == 0) ExpectSame(slots, expected, keys);
        }
        ExpectSame(slots, expected, keys);
    }
}

TEST(NodeSlots, EmptiedByRemovalsAndClearedTablesFindNothing) {
    std::vector<long long> keys(100);
    NodeSlots slots;
    EXPECT_EQ(slots.Find(&keys[0]), nullptr);
    slots.Erase(&keys[0]);
    slots.Reserve(10);
    for (size_t i = 0; i < keys.size(); ++i) slots.Set(&keys[i], i);
    for (size_t i = 0; i < keys.size(); i += 2) slots.Erase(&keys[i]);
    EXPECT_EQ(slots.Size(), 50u);
    std::unordered_map<const void*, size_t> expected;
    for (size_t i = 1; i < keys.size(); i += 2) expected[&keys[i]] = i;
    ExpectSame(slots, expected, keys);
    for (size_t i = 1; i < keys.size(); i += 2) slots.Erase(&keys[i]);
    ExpectSame(slots, {}, keys);
    slots.Set(&keys[3], 9);
    slots.Clear();
    ExpectSame(slots, {}, keys);
    slots.Set(&keys[3], 4);
    EXPECT_EQ(*slots.Find(&keys[3]), 4u);
}

}  // namespace
