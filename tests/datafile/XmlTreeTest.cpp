#include "datafile/XmlTree.h"
#include "datafile/XmlRecords.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A detached root with children named as given, freed at the end of the test.
struct Family {
    explicit Family(const std::vector<std::string>& names)
    {
        root = CreateElement("root");
        for (const std::string& name : names)
            AddChild(root, name.c_str());
    }
    ~Family() { FreeElement(root); }

    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (Element* child = NextChild(root, nullptr); child != nullptr; child = NextChild(root, child))
            names.push_back(ElementName(child));
        return names;
    }

    std::vector<std::string> NamesBackwards() const
    {
        std::vector<std::string> names;
        for (Element* child = root->lastChild; child != nullptr; child = child->previousSibling)
            names.insert(names.begin(), ElementName(child));
        return names;
    }

    Element* root;
};

std::vector<std::string> AttributeNames(Element* element)
{
    std::vector<std::string> names;
    for (Attribute* a = element->attributes.first; a != nullptr; a = a->next)
        names.push_back(std::string(a->name) + "=" + AttributeValue(a));
    return names;
}

TEST(XmlTreeTest, FreeElementJoinsTheNeighboursOfAMiddleChild)
{
    Family family({"a", "b", "c"});
    FreeElement(ChildAt(family.root, 1));
    EXPECT_EQ(ChildCount(family.root), 2u);
    EXPECT_EQ(family.Names(), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(family.NamesBackwards(), (std::vector<std::string>{"a", "c"}));
}

TEST(XmlTreeTest, FreeElementMovesTheFirstAndLastLinksToTheNeighbour)
{
    Family family({"a", "b", "c"});
    FreeElement(family.root->firstChild);
    EXPECT_STREQ(ElementName(family.root->firstChild), "b");
    FreeElement(family.root->lastChild);
    EXPECT_STREQ(ElementName(family.root->lastChild), "b");
    EXPECT_EQ(family.root->firstChild, family.root->lastChild);
    EXPECT_EQ(ChildCount(family.root), 1u);
    FreeElement(family.root->firstChild);
    EXPECT_EQ(family.root->firstChild, nullptr);
    EXPECT_EQ(family.root->lastChild, nullptr);
    EXPECT_EQ(ChildCount(family.root), 0u);
    EXPECT_EQ(NextChild(family.root, nullptr), nullptr);
}

// The last child is reached through the first child's link, so every change
// at either end must move that link along: both directions, and ChildAt from
// the far half, must still agree after mixed removals and additions.
TEST(XmlTreeTest, BothEndsStayInStepThroughRemovalsAndAdditions)
{
    Family family({"a", "b", "c", "d"});
    FreeElement(family.root->lastChild);
    AddChild(family.root, "e");
    FreeElement(family.root->firstChild);
    AddChild(family.root, "f");
    FreeElement(ChildAt(family.root, 2));
    std::vector<std::string> expected{"b", "c", "f"};
    EXPECT_EQ(family.Names(), expected);
    EXPECT_EQ(family.NamesBackwards(), expected);
    EXPECT_STREQ(ElementName(ChildAt(family.root, 2)), "f");
    EXPECT_EQ(family.root->firstChild->previousSibling, nullptr);

    while (family.root->firstChild != nullptr)
        FreeElement(family.root->lastChild);
    AddChild(family.root, "g");
    EXPECT_EQ(family.NamesBackwards(), (std::vector<std::string>{"g"}));
    EXPECT_EQ(family.root->firstChild, family.root->lastChild);
}

TEST(XmlTreeTest, FreeElementFreesAWholeSubtreeWithAttributes)
{
    Family family({"a", "b"});
    Element* b = ChildAt(family.root, 1);
    Element* deep = b;
    for (int i = 0; i < 5; ++i) {
        AddChild(deep, "sibling");
        deep = AddChild(deep, "deeper");
        AddAttribute(deep, CreateAttribute("N", "1"));
    }
    FreeElement(b);
    EXPECT_EQ(family.Names(), (std::vector<std::string>{"a"}));
    FreeElement(nullptr);
}

TEST(XmlTreeTest, LookupIsCaseSensitiveAndTakesTheFirstOfAName)
{
    Family family({"title", "TITLE", "X", "TITLE"});
    Element* first = ChildByName(family.root, "TITLE");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, ChildAt(family.root, 1));
    EXPECT_EQ(ChildByName(family.root, "Title"), nullptr);
    EXPECT_EQ(ChildByName(family.root, "TITLE "), nullptr);
    EXPECT_EQ(ChildByName(family.root, nullptr), nullptr);
    EXPECT_EQ(ChildByName(nullptr, "TITLE"), nullptr);
    EXPECT_EQ(NextChild(nullptr, nullptr), nullptr);

    std::vector<Element*> titles;
    for (Element* child = NextChild(family.root, nullptr); child != nullptr; child = NextChild(nullptr, child)) {
        if (std::string(ElementName(child)) == "TITLE")
            titles.push_back(child);
    }
    EXPECT_EQ(titles, (std::vector<Element*>{ChildAt(family.root, 1), ChildAt(family.root, 3)}));
}

TEST(XmlTreeTest, ChildAtCountsFromZeroAndStopsAtTheCount)
{
    Family family({"a", "b", "c", "d", "e"});
    std::vector<std::string> names;
    for (uint32_t i = 0; i < ChildCount(family.root); ++i)
        names.push_back(ElementName(ChildAt(family.root, i)));
    EXPECT_EQ(names, family.Names());
    EXPECT_EQ(ChildAt(family.root, 5), nullptr);
    EXPECT_EQ(ChildAt(family.root, UINT32_MAX), nullptr);
}

TEST(XmlTreeTest, AnElementWithoutContentsReadsAsOneSpace)
{
    Family family({"a"});
    EXPECT_STREQ(ElementContents(family.root->firstChild), " ");
    EXPECT_EQ(family.root->firstChild->contents, nullptr);
}

TEST(XmlTreeTest, AddAttributeReplacesANamesakeInItsPlace)
{
    Family family({});
    Element* e = family.root;
    AddAttribute(e, CreateAttribute("A", "1"));
    AddAttribute(e, CreateAttribute("B", "2"));
    AddAttribute(e, CreateAttribute("C", "3"));
    Attribute* replacement = CreateAttribute("B", "new");
    EXPECT_EQ(AddAttribute(e, replacement), replacement);
    EXPECT_EQ(e->attributes.count, 3u);
    EXPECT_EQ(AttributeNames(e), (std::vector<std::string>{"A=1", "B=new", "C=3"}));
    EXPECT_EQ(AttributeByName(e, "B"), replacement);

    AddAttribute(e, CreateAttribute("A", "first"));
    AddAttribute(e, CreateAttribute("C", "last"));
    EXPECT_EQ(AttributeNames(e), (std::vector<std::string>{"A=first", "B=new", "C=last"}));
    EXPECT_EQ(e->attributes.last->previous->previous, e->attributes.first);

    // Adding an attribute the element already owns must not free it.
    EXPECT_EQ(AddAttribute(e, replacement), replacement);
    EXPECT_EQ(AttributeNames(e), (std::vector<std::string>{"A=first", "B=new", "C=last"}));
    EXPECT_EQ(AddAttribute(e, nullptr), nullptr);
}

TEST(XmlTreeTest, AttributeLookupIsCaseSensitive)
{
    Family family({});
    AddAttribute(family.root, CreateAttribute("TYPE", "1"));
    EXPECT_EQ(AttributeByName(family.root, "type"), nullptr);
    EXPECT_EQ(AttributeByName(family.root, nullptr), nullptr);
    EXPECT_STREQ(AttributeValue(AttributeByName(family.root, "TYPE")), "1");
}

TEST(XmlTreeTest, SetAttributeValueStoresACopy)
{
    Family family({});
    std::string value = "12";
    Attribute* a = AddAttribute(family.root, CreateAttribute("RECORDSDONE", value.c_str()));
    value = "changed";
    EXPECT_STREQ(AttributeValue(a), "12");

    const char* stored = SetAttributeValue(a, value.c_str());
    EXPECT_STREQ(stored, "changed");
    EXPECT_NE(stored, value.c_str());
    EXPECT_EQ(stored, AttributeValue(a));

    // Its own value handed back in is copied before the old one is freed.
    EXPECT_STREQ(SetAttributeValue(a, AttributeValue(a)), "changed");
}

TEST(XmlTreeTest, NoneForAnElementReadsAsAMissingPart)
{
    EXPECT_EQ(TreeRoot(nullptr), nullptr);
    EXPECT_EQ(ChildAt(nullptr, 0), nullptr);
    EXPECT_EQ(ChildCount(nullptr), 0u);
    EXPECT_STREQ(ElementName(nullptr), "");
    EXPECT_STREQ(ElementContents(nullptr), "");
    EXPECT_EQ(AttributeByName(nullptr, "TYPE"), nullptr);
    EXPECT_STREQ(AttributeValue(nullptr), "");
    EXPECT_EQ(AddChild(nullptr, "x"), nullptr);
    EXPECT_EQ(AddAttribute(nullptr, CreateAttribute("A", "1")), nullptr);
    EXPECT_EQ(SetAttributeValue(nullptr, "1"), nullptr);
    EXPECT_EQ(CreateAttribute(nullptr, "1"), nullptr);
    FreeTree(nullptr);
}

} // namespace
