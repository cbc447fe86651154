#include <gtest/gtest.h>

#include "datafile/XmlTree.h"
#include "generator/Generator.h"
#include "tests/generator/DataFiles.h"

namespace {

// The one field element of attributes.xml, whose attributes the tests read and change.
class Field {
public:
    Field() : data(LoadTestData("generator", "attributes.xml")), element(ChildByName(data->GetRoot(), "field")) {}
    std::unique_ptr<DataFile> data;
    Element* element;
};

TEST(ReplaceFirst, ReplacesOnlyTheFirstOccurrence) {
    EXPECT_EQ(Generator::ReplaceFirst("Filling %1$s and %1$s", "%1$s", "Document1"),
              "Filling Document1 and %1$s");
    EXPECT_EQ(Generator::ReplaceFirst("%1$s", "%1$s", ""), "");
}

TEST(ReplaceFirst, TextWithoutThePatternStaysUnchanged) {
    EXPECT_EQ(Generator::ReplaceFirst("Working", "%1$s", "Document1"), "Working");
    EXPECT_EQ(Generator::ReplaceFirst("", "%1$s", "Document1"), "");
}

TEST(ReplaceFirst, EmptyPatternPutsTheReplacementInFront) {
    EXPECT_EQ(Generator::ReplaceFirst("Working", "", "Document1 "), "Document1 Working");
}

TEST(StartsWith, ComparesBytesCaseSensitively) {
    EXPECT_TRUE(Generator::StartsWith("VeskGroupSales", "VeskGroup"));
    EXPECT_FALSE(Generator::StartsWith("veskGroupSales", "VeskGroup"));
    EXPECT_FALSE(Generator::StartsWith("Vesk", "VeskGroup"));
    EXPECT_TRUE(Generator::StartsWith("Vesk", ""));
    EXPECT_TRUE(Generator::StartsWith("", ""));
}

TEST(IntToText, WritesDecimalWithSign) {
    EXPECT_EQ(Generator::IntToText(0), "0");
    EXPECT_EQ(Generator::IntToText(-42), "-42");
    EXPECT_EQ(Generator::IntToText(2147483647), "2147483647");
}

TEST(IntAttribute, ReadsLeadingDigitsLikeAtoi) {
    Field field;
    EXPECT_EQ(Generator::IntAttribute(field.element, "NUMRECORDS", 1), 12);
    EXPECT_EQ(Generator::IntAttribute(field.element, "GROUPBY", 1), -3);
    EXPECT_EQ(Generator::IntAttribute(field.element, "TYPE", 7), 0);
}

TEST(IntAttribute, MissingAttributeGivesTheDefault) {
    Field field;
    EXPECT_EQ(Generator::IntAttribute(field.element, "RECORDSDONE", -1), -1);
    EXPECT_EQ(Generator::IntAttribute(field.element, "recordsdone", 5), 5);
}

TEST(TextAttribute, GivesTheValueOrTheDefault) {
    Field field;
    EXPECT_STREQ(Generator::TextAttribute(field.element, "CODENAME", ""), "Sheet1");
    EXPECT_STREQ(Generator::TextAttribute(field.element, "MISSING", "none"), "none");
}

TEST(SetAttribute, ReplacesInPlaceOrAppends) {
    Field field;
    Generator::SetAttribute(field.element, "RECORDSDONE", "0");
    Generator::SetAttribute(field.element, "NUMRECORDS", "4");
    Generator::SetAttribute(field.element, "RECORDSDONE", "1");
    ASSERT_EQ(field.element->attributes.count, 5u);
    EXPECT_STREQ(field.element->attributes.first->name, "NUMRECORDS");
    EXPECT_STREQ(field.element->attributes.last->name, "RECORDSDONE");
    EXPECT_STREQ(AttributeValue(AttributeByName(field.element, "NUMRECORDS")), "4");
    EXPECT_STREQ(AttributeValue(AttributeByName(field.element, "RECORDSDONE")), "1");
}

}  // namespace
