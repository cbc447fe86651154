// A parsed tree keeps its records and texts in large blocks freed with the
// tree, while the editing operations still add, replace and free records of
// their own in it. These cases mix the two and cross the blocks' ends; the
// sanitizer build turns a wrong free or a leak into a failure.
#include "datafile/XmlParser.h"

#include "ParsedFile.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

std::string Text(size_t length, size_t seed)
{
    std::string text(length, 'x');
    for (size_t i = 0; i < length; i += 97)
        text[i] = static_cast<char>('a' + (i + seed) % 26);
    return text;
}

// Texts of many sizes, some in one piece, some between children, some padded
// with white space to trim, together far larger than one block.
TEST(ParsedTreeStorageTest, TextsAcrossBlockEndsComeBackWhole)
{
    std::string xml = "<r>";
    std::vector<std::string> expected;
    for (size_t i = 0; i < 120; ++i) {
        std::string text = Text(i * 37 % 5000 + (i % 10 == 0 ? 70000 : 1), i);
        expected.push_back(text);
        switch (i % 3) {
        case 0:
            xml += "<t>" + text + "</t>";
            break;
        case 1:
            xml += "<t>\n  " + text + " \t\n</t>";
            break;
        default:
            xml += "<t>" + text.substr(0, text.size() / 2) + "<x>in</x>" + text.substr(text.size() / 2) + "</t>";
        }
    }
    xml += "</r>";
    TempFolder folder;
    ParsedFile file(folder.Write("texts.xml", xml));
    ASSERT_EQ(file.loaded, 1);
    ASSERT_EQ(ChildCount(file.Root()), expected.size());
    size_t i = 0;
    for (Element* t = NextChild(file.Root(), nullptr); t != nullptr; t = NextChild(file.Root(), t), ++i)
        ASSERT_EQ(ElementContents(t), expected[i]) << i;
}

TEST(ParsedTreeStorageTest, ParsedTreeTakesEditsOfItsOwnRecords)
{
    TempFolder folder;
    ParsedFile file(folder.Write("edits.xml", "<r><f N='1' DONE='0'><v>a</v><v>b</v></f><g K='x'/></r>"));
    ASSERT_EQ(file.loaded, 1);
    Element* f = ChildByName(file.Root(), "f");
    Element* g = ChildByName(file.Root(), "g");

    // A parsed attribute replaced by a created one, and a created one replaced.
    AddAttribute(f, CreateAttribute("N", "2"));
    AddAttribute(f, CreateAttribute("EXPANDED", "true"));
    AddAttribute(f, CreateAttribute("EXPANDED", "false"));
    SetAttributeValue(AttributeByName(f, "DONE"), "1");
    SetAttributeValue(AttributeByName(f, "EXPANDED"), "again");
    std::string attributes;
    for (Attribute* a = f->attributes.first; a != nullptr; a = a->next)
        attributes += std::string(a->name) + "=" + a->value + ";";
    EXPECT_EQ(attributes, "N=2;DONE=1;EXPANDED=again;");

    // Children added to a parsed element, then freed with it or with the tree.
    Element* added = AddChild(f, "v");
    AddAttribute(added, CreateAttribute("NEW", "1"));
    AddChild(AddChild(g, "deep"), "deeper");
    EXPECT_EQ(ChildCount(f), 3u);
    EXPECT_EQ(f->lastChild, added);
    FreeElement(ChildAt(f, 1));
    FreeElement(f);
    EXPECT_EQ(ChildCount(file.Root()), 1u);
    EXPECT_STREQ(AttributeValue(AttributeByName(g, "K")), "x");
}

// Elements of one name share a copy of it; freeing the element that brought
// the name in must not take it from the others.
TEST(ParsedTreeStorageTest, NamesOutliveTheElementThatFirstCarriedThem)
{
    TempFolder folder;
    ParsedFile file(folder.Write("names.xml", "<r><d><v>1</v><v>2</v></d><e><v>3</v><w/><v>4</v></e></r>"));
    ASSERT_EQ(file.loaded, 1);
    Element* d = ChildByName(file.Root(), "d");
    Element* e = ChildByName(file.Root(), "e");
    FreeElement(d->firstChild);
    FreeElement(d);
    EXPECT_STREQ(ElementName(e->firstChild), "v");
    EXPECT_STREQ(ElementName(e->lastChild), "v");
    EXPECT_STREQ(ElementName(ChildAt(e, 1)), "w");
    EXPECT_STREQ(ElementContents(e->lastChild), "4");
}

// Attributes are stored apart from their element, and only once it has one:
// parsed elements without attributes take added ones, and every kind of
// element frees them with itself or with the tree.
TEST(ParsedTreeStorageTest, AttributesAddedToElementsThatHadNone)
{
    std::string xml = "<r>";
    for (int i = 0; i < 2000; ++i)
        xml += i % 3 == 0 ? "<v N='" + std::to_string(i) + "'>x</v>" : "<v>x</v>";
    xml += "</r>";
    TempFolder folder;
    ParsedFile file(folder.Write("plain.xml", xml));
    ASSERT_EQ(file.loaded, 1);
    Element* root = file.Root();
    EXPECT_EQ(root->attributes.count, 0u);
    EXPECT_EQ(root->attributes.first, nullptr);
    EXPECT_EQ(root->attributes.last, nullptr);
    uint32_t index = 0;
    for (Element* v = NextChild(root, nullptr); v != nullptr; v = NextChild(root, v), ++index) {
        AddAttribute(v, CreateAttribute("DONE", std::to_string(index).c_str()));
        AddAttribute(v, CreateAttribute("DONE", "again"));
    }
    AddAttribute(root, CreateAttribute("EXPANDED", "1"));
    for (index = 0; index < 2000; index += 499) {
        Element* v = ChildAt(root, index);
        uint32_t expected = index % 3 == 0 ? 2 : 1;
        ASSERT_EQ(v->attributes.count, expected) << index;
        EXPECT_STREQ(AttributeValue(v->attributes.last), "again") << index;
        EXPECT_STREQ(v->attributes.first->name, expected == 2 ? "N" : "DONE") << index;
    }
    EXPECT_STREQ(AttributeValue(AttributeByName(root, "EXPANDED")), "1");
    FreeElement(ChildAt(root, 0));
    FreeElement(ChildAt(root, 1));
    Element* added = AddChild(root, "w");
    AddAttribute(added, CreateAttribute("A", "1"));
    EXPECT_EQ(added->attributes.first, added->attributes.last);
    EXPECT_EQ(ChildCount(root), 1999u);
}

} // namespace
