// The value a field hands out: its own text, its first record, or the next
// record in the group's order; and the record positions it cannot serve.
#include <gtest/gtest.h>

#include <string>

#include "tests/excel/ExcelTestData.h"

namespace {

TEST(FieldValue, SingleValueFieldTakesItsFirstRecordElseItsOwnText)
{
    ExcelTestData data("<Both>own<v>first</v><v>second</v></Both><Own>own text</Own><Empty/>");
    TestableExcelGenerator generator(data);
    EXPECT_STREQ(generator.FieldValue("Both", nullptr, false), "first");
    EXPECT_STREQ(generator.FieldValue("Own", nullptr, false), "own text");
    EXPECT_STREQ(generator.FieldValue("Empty", nullptr, false), " ");
    EXPECT_STREQ(generator.FieldValue("Missing", nullptr, false), "");
    EXPECT_EQ(generator.resultCode, 0);
}

TEST(FieldValue, AdvancingHandsOutRecordsInDocumentOrderThenResultCodeThree)
{
    ExcelTestData data("<Amount NUMRECORDS='3'><v>1</v><v>2</v><v>3</v></Amount>");
    TestableExcelGenerator generator(data);
    EXPECT_STREQ(generator.FieldValue("Amount", nullptr, true), "1");
    EXPECT_STREQ(generator.FieldValue("Amount", nullptr, true), "2");
    EXPECT_STREQ(generator.FieldValue("Amount", nullptr, true), "3");
    EXPECT_STREQ(AttributeText(data.Field("Amount"), "RECORDSDONE"), "2");
    EXPECT_STREQ(generator.FieldValue("Amount", nullptr, true), "");
    EXPECT_EQ(generator.resultCode, 3);
    EXPECT_STREQ(generator.FieldValue("Amount", nullptr, false), "");
}

TEST(FieldValue, RecordsDoneGivenInTheFileIsTakenAsAlreadyTaken)
{
    ExcelTestData data("<Amount NUMRECORDS='3' RECORDSDONE='0'><v>1</v><v>2</v><v>3</v></Amount>");
    TestableExcelGenerator generator(data);
    EXPECT_STREQ(generator.FieldValue("Amount", nullptr, true), "2");
}

TEST(FieldValue, InAGroupTheRecordOrderChoosesTheRecord)
{
    ExcelTestData data("<Region NUMRECORDS='3'><v>B</v><v>A</v><v>C</v></Region>");
    TestableExcelGenerator generator(data);
    generator.groupByFields = {data.Field("Region")};
    generator.recordOrder = {1, 0, 2};
    EXPECT_STREQ(generator.FieldValue("Region", nullptr, true), "A");
    EXPECT_STREQ(generator.FieldValue("Region", nullptr, true), "B");
    EXPECT_STREQ(generator.FieldValue("Region", nullptr, true), "C");
}

TEST(FieldValue, PositionsOutsideTheRecordOrderOrTheRecordsAreResultCodeThree)
{
    struct Case {
        const char* fields;
        std::vector<int32_t> order;
    };
    const Case cases[] = {
        // RECORDSDONE at the end of a shorter record order.
        {"<Region NUMRECORDS='3' RECORDSDONE='1'><v>B</v><v>A</v><v>C</v></Region>", {0, 1}},
        // An order entry beyond the field's records.
        {"<Region NUMRECORDS='2'><v>B</v><v>A</v></Region>", {5, 0}},
        // A negative position from the file.
        {"<Region NUMRECORDS='2' RECORDSDONE='-7'><v>B</v><v>A</v></Region>", {0, 1}},
        {"<Region NUMRECORDS='2' RECORDSDONE='2147483647'><v>B</v><v>A</v></Region>", {0, 1}},
    };
    for (const Case& c : cases) {
        ExcelTestData data(c.fields);
        TestableExcelGenerator generator(data);
        generator.groupByFields = {data.Field("Region")};
        generator.recordOrder = c.order;
        EXPECT_STREQ(generator.FieldValue("Region", nullptr, true), "") << c.fields;
        EXPECT_EQ(generator.resultCode, 3) << c.fields;
    }
}

TEST(WriteColumn, RecordOrderBeyondTheFieldsRecordsIsResultCodeThreeBeforeAnyCall)
{
    // No application is attached: any automation call would throw.
    ExcelTestData data("<Region NUMRECORDS='2'><v>A</v><v>B</v></Region>"
                       "<Amount NUMRECORDS='2' GROUPBY='0'><v>1</v></Amount>");
    TestableExcelGenerator generator(data);
    generator.groupByFields = {data.Field("Region")};
    generator.recordOrder = {0, 1};
    generator.WriteColumn("Amount", nullptr, nullptr, 2);
    EXPECT_EQ(generator.resultCode, 3);
}

}  // namespace
