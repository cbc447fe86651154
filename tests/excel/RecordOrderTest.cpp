// The order in which a group's records are written.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "tests/excel/ExcelTestData.h"

namespace {

std::string Records(const std::vector<std::string>& values)
{
    std::string text;
    for (const std::string& value : values) text += "<v>" + value + "</v>";
    return text;
}

std::string GroupingField(const std::string& name, int row, const std::vector<std::string>& values)
{
    return "<" + name + " NUMRECORDS='" + std::to_string(values.size()) + "' EXCELROW='" +
           std::to_string(row) + "'>" + Records(values) + "</" + name + ">";
}

// The order a bubble sort over the same keys gives, swapping only when the
// later key is smaller, as the template authors' reference order.
std::vector<int32_t> BubbleOrder(std::vector<std::string> keys)
{
    std::vector<int32_t> order(keys.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int32_t>(i);
    for (bool swapped = true; swapped;) {
        swapped = false;
        for (size_t p = 0; p + 1 < keys.size(); ++p) {
            if (keys[p + 1] < keys[p]) {
                std::swap(keys[p], keys[p + 1]);
                std::swap(order[p], order[p + 1]);
                swapped = true;
            }
        }
    }
    return order;
}

std::vector<std::string> OrderedNames(const TestableExcelGenerator& generator)
{
    std::vector<std::string> names;
    for (Element* field : generator.groupByFields) names.push_back(ElementName(field));
    return names;
}

TEST(SortRecords, WritesEqualValuesTogetherInTheirOriginalOrder)
{
    ExcelTestData data(GroupingField("Region", 5, {"B", "A", "B", "A"}));
    TestableExcelGenerator generator(data);
    generator.groupByFields = {data.Field("Region")};
    generator.SortRecords();
    EXPECT_EQ(generator.recordOrder, (std::vector<int32_t>{1, 3, 0, 2}));
    EXPECT_EQ(generator.resultCode, 0);
}

TEST(SortRecords, WithoutGroupingFieldsTheOrderIsTheFirstRecordOnly)
{
    ExcelTestData data("");
    TestableExcelGenerator generator(data);
    generator.SortRecords();
    EXPECT_EQ(generator.recordOrder, (std::vector<int32_t>{0}));
}

TEST(SortRecords, TakesGroupingFieldsInRowOrder)
{
    ExcelTestData data(GroupingField("Low", 12, {"a", "a", "b"}) + GroupingField("Top", 10, {"y", "x", "x"}) +
                       GroupingField("Middle", 11, {"2", "1", "1"}));
    TestableExcelGenerator generator(data);
    generator.groupByFields = {data.Field("Low"), data.Field("Top"), data.Field("Middle")};
    generator.SortRecords();
    EXPECT_EQ(OrderedNames(generator), (std::vector<std::string>{"Top", "Middle", "Low"}));
    // Keys: x1a (record 1), x1b (record 2), y2a (record 0).
    EXPECT_EQ(generator.recordOrder, (std::vector<int32_t>{1, 2, 0}));
}

TEST(SortRecords, FieldsOnOneRowChangePlacesAsTheRowOrderingMovesThem)
{
    ExcelTestData data(GroupingField("First", 7, {"a"}) + GroupingField("Second", 7, {"b"}) +
                       GroupingField("Above", 6, {"c"}));
    TestableExcelGenerator generator(data);
    generator.groupByFields = {data.Field("First"), data.Field("Second"), data.Field("Above")};
    generator.SortRecords();
    EXPECT_EQ(OrderedNames(generator), (std::vector<std::string>{"Above", "Second", "First"}));
}

TEST(SortRecords, SecondFieldDecidesOnlyBetweenEqualFirstValues)
{
    // A first value longer than the key column pushes the second value along;
    // a value that is a prefix of another sorts first.
    std::string longValue(120, 'k');
    ExcelTestData data(GroupingField("Outer", 5, {"ab", "a", longValue, "a"}) +
                       GroupingField("Inner", 6, {"1", "2", "0", "1"}));
    TestableExcelGenerator generator(data);
    generator.groupByFields = {data.Field("Outer"), data.Field("Inner")};
    generator.SortRecords();
    EXPECT_EQ(generator.recordOrder, (std::vector<int32_t>{3, 1, 0, 2}));
}

TEST(SortRecords, MatchesTheBubbleOrderOnRandomValues)
{
    std::mt19937 random(11);
    const std::vector<std::string> pieces = {"A", "b", "Ab", "\xC3\xA9", "z", "a a", ""};
    for (int round = 0; round < 20; ++round) {
        std::vector<std::string> outer, inner, keys;
        for (int record = 0; record < 40; ++record) {
            std::string first = pieces[random() % pieces.size()] + pieces[random() % pieces.size()];
            std::string second = pieces[random() % pieces.size()];
            if (first.empty()) first = "x";
            if (second.empty()) second = "y";
            outer.push_back(first);
            inner.push_back(second);
            keys.push_back(" " + first + std::string(100 - first.size(), ' ') + second);
        }
        ExcelTestData data(GroupingField("Outer", 5, outer) + GroupingField("Inner", 6, inner));
        TestableExcelGenerator generator(data);
        generator.groupByFields = {data.Field("Outer"), data.Field("Inner")};
        generator.SortRecords();
        ASSERT_EQ(generator.recordOrder, BubbleOrder(keys)) << "round " << round;
    }
}

TEST(SortRecords, RecordCountDifferentFromNumRecordsIsResultCodeTwo)
{
    ExcelTestData data("<Region NUMRECORDS='3'><v>A</v><v>B</v></Region>");
    TestableExcelGenerator generator(data);
    generator.groupByFields = {data.Field("Region")};
    generator.SortRecords();
    EXPECT_EQ(generator.resultCode, 2);
    EXPECT_TRUE(generator.recordOrder.empty());
}

TEST(SortRecords, LaterFieldWithMoreRecordsIsResultCodeThreeNotAReadBeyondTheKeys)
{
    ExcelTestData data(GroupingField("Outer", 5, {"a", "b"}) + GroupingField("Inner", 6, {"1", "2", "3"}));
    TestableExcelGenerator generator(data);
    generator.groupByFields = {data.Field("Outer"), data.Field("Inner")};
    generator.SortRecords();
    EXPECT_EQ(generator.resultCode, 3);
}

TEST(SortRecords, HundredThousandRecordsKeepTheirOrderWithinEachValue)
{
    std::vector<std::string> values;
    for (int record = 0; record < 100000; ++record) values.push_back("Customer " + std::to_string(record % 5000));
    ExcelTestData data(GroupingField("Customer", 5, values));
    TestableExcelGenerator generator(data);
    generator.groupByFields = {data.Field("Customer")};
    generator.SortRecords();
    ASSERT_EQ(generator.recordOrder.size(), 100000u);
    EXPECT_EQ(generator.recordOrder[0], 0);
    EXPECT_EQ(generator.recordOrder[1], 5000);
}

}  // namespace

namespace {

// Many records share each key, as in a real group; keys that differ only in
// their last byte, in bytes above 0x7F, or in the second field's column must
// still order as a stable sort of the keys orders them.
TEST(SortRecords, ManyRecordsPerKeyMatchAStableSortOfTheKeys)
{
    std::mt19937 random(5);
    const std::vector<std::string> outerValues = {"Customer 1", "Customer 10", "Customer 1\xC3\xA9", "customer 1",
                                                  "Customer 2", "Customer 1 "};
    const std::vector<std::string> innerValues = {"x", "X", "\xE2\x82\xAC", "xx"};
    std::vector<std::string> outer, inner, keys;
    for (int record = 0; record < 3000; ++record) {
        outer.push_back(outerValues[random() % outerValues.size()]);
        inner.push_back(innerValues[random() % innerValues.size()]);
        keys.push_back(" " + outer.back() + std::string(100 - outer.back().size(), ' ') + inner.back());
    }
    ExcelTestData data(GroupingField("Outer", 5, outer) + GroupingField("Inner", 6, inner));
    TestableExcelGenerator generator(data);
    generator.groupByFields = {data.Field("Outer"), data.Field("Inner")};
    generator.SortRecords();

    std::vector<int32_t> expected(keys.size());
    for (size_t i = 0; i < expected.size(); ++i) expected[i] = static_cast<int32_t>(i);
    std::stable_sort(expected.begin(), expected.end(), [&keys](int32_t a, int32_t b) {
        return keys[static_cast<size_t>(a)] < keys[static_cast<size_t>(b)];
    });
    EXPECT_EQ(generator.recordOrder, expected);
}

}  // namespace
