#include <gtest/gtest.h>

#include "datafile/XmlTree.h"
#include "datafile/XmlTreeBuilder.h"
#include "generator/Generator.h"

namespace {

class Tree {
public:
    Tree() : root(CreateElement("root")) {}
    ~Tree() { FreeElement(root); }
    Element* root;
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
    Tree tree;
    AddAttribute(tree.root, CreateAttribute("NUMRECORDS", "12abc"));
    AddAttribute(tree.root, CreateAttribute("GROUPBY", "  -3"));
    AddAttribute(tree.root, CreateAttribute("TYPE", "abc"));
    EXPECT_EQ(Generator::IntAttribute(tree.root, "NUMRECORDS", 1), 12);
    EXPECT_EQ(Generator::IntAttribute(tree.root, "GROUPBY", 1), -3);
    EXPECT_EQ(Generator::IntAttribute(tree.root, "TYPE", 7), 0);
}

TEST(IntAttribute, MissingAttributeGivesTheDefault) {
    Tree tree;
    EXPECT_EQ(Generator::IntAttribute(tree.root, "RECORDSDONE", -1), -1);
    EXPECT_EQ(Generator::IntAttribute(tree.root, "recordsdone", 5), 5);
}

TEST(TextAttribute, GivesTheValueOrTheDefault) {
    Tree tree;
    AddAttribute(tree.root, CreateAttribute("CODENAME", "Sheet1"));
    EXPECT_STREQ(Generator::TextAttribute(tree.root, "CODENAME", ""), "Sheet1");
    EXPECT_STREQ(Generator::TextAttribute(tree.root, "MISSING", "none"), "none");
}

TEST(SetAttribute, ReplacesInPlaceOrAppends) {
    Tree tree;
    AddAttribute(tree.root, CreateAttribute("NUMRECORDS", "3"));
    Generator::SetAttribute(tree.root, "RECORDSDONE", "0");
    Generator::SetAttribute(tree.root, "NUMRECORDS", "4");
    Generator::SetAttribute(tree.root, "RECORDSDONE", "1");
    ASSERT_EQ(tree.root->attributes.count, 2u);
    EXPECT_STREQ(tree.root->attributes.first->name, "NUMRECORDS");
    EXPECT_STREQ(AttributeValue(AttributeByName(tree.root, "NUMRECORDS")), "4");
    EXPECT_STREQ(AttributeValue(AttributeByName(tree.root, "RECORDSDONE")), "1");
}

}  // namespace
