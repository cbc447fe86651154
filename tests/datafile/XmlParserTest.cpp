#include "datafile/XmlParser.h"

#include "ParsedFile.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

class XmlParserTest : public ::testing::Test {
protected:
    std::string Write(const std::string& bytes) { return folder.Write("data.xml", bytes); }

    TempFolder folder;
};

std::string ContentsOf(Element* parent, const char* name)
{
    Element* child = ChildByName(parent, name);
    return child != nullptr ? ElementContents(child) : "<missing>";
}

TEST_F(XmlParserTest, ElementsWithoutTextReadAsOneSpace)
{
    ParsedFile file(Write("<r><a></a><b/><c>  \r\n\t </c><d>\n  <x/>\n  <y/>\n</d></r>"));
    ASSERT_EQ(file.loaded, 1);
    for (const char* name : {"a", "b", "c", "d"}) {
        EXPECT_EQ(ContentsOf(file.Root(), name), " ") << name;
        EXPECT_EQ(ChildByName(file.Root(), name)->contents, nullptr) << name;
    }
}

TEST_F(XmlParserTest, TextIsTrimmedAtTheEndsAndJoinedAcrossChildren)
{
    ParsedFile file(Write("<r>\n"
                          "  <a>  one   two\t\n</a>\n"
                          "  <c> before <x>inner</x> after </c>\n"
                          "  <d>&lt;&amp;&#x263A;<![CDATA[ <raw> ]]></d>\n"
                          "</r>"));
    ASSERT_EQ(file.loaded, 1);
    EXPECT_EQ(ContentsOf(file.Root(), "a"), "one   two");
    EXPECT_EQ(ContentsOf(file.Root(), "c"), "before  after");
    EXPECT_EQ(ContentsOf(ChildByName(file.Root(), "c"), "x"), "inner");
    EXPECT_EQ(ContentsOf(file.Root(), "d"), "<&\xE2\x98\xBA <raw>");
    EXPECT_EQ(ElementContents(file.Root()), std::string(" "));
}

// Every length of name and text must come back whole, also when the text
// arrives in several pieces, around children, and when it is trimmed.
TEST_F(XmlParserTest, TextsOfEveryLengthAroundTheNameComeBackWhole)
{
    std::string xml = "<r>";
    std::vector<std::pair<std::string, std::string>> expected;
    for (size_t nameLength = 1; nameLength <= 20; ++nameLength) {
        for (size_t textLength = 0; textLength <= 40; ++textLength) {
            std::string name = "n" + std::string(nameLength - 1, 'a') + std::to_string(textLength);
            std::string text(textLength, 'x');
            for (size_t i = 0; i < textLength; i += 7)
                text[i] = static_cast<char>('a' + i % 26);
            xml += "<" + name + ">" + text + "</" + name + ">";
            expected.emplace_back(name, text.empty() ? " " : text);
            std::string split = name + "s";
            xml += "<" + split + "> " + text + "<x/>\n" + text + "<y>inner</y>" + text + " </" + split + ">";
            expected.emplace_back(split, text.empty() ? " " : text + "\n" + text + text);
        }
    }
    xml += "</r>";
    ParsedFile file(Write(xml));
    ASSERT_EQ(file.loaded, 1);
    for (const auto& [name, text] : expected)
        ASSERT_EQ(ContentsOf(file.Root(), name.c_str()), text) << name;
    // Freed one by one, short and long texts alike.
    while (ChildCount(file.Root()) > 0)
        FreeElement(ChildAt(file.Root(), ChildCount(file.Root()) / 2));
}

TEST_F(XmlParserTest, ParsedAttributeValuesCanBeReplacedAndFreed)
{
    ParsedFile file(Write("<r><f NUMRECORDS='3' RECORDSDONE='-1'/></r>"));
    ASSERT_EQ(file.loaded, 1);
    Element* field = ChildByName(file.Root(), "f");
    Attribute* done = AttributeByName(field, "RECORDSDONE");
    for (int i = 0; i < 3; ++i)
        EXPECT_STREQ(SetAttributeValue(done, std::to_string(i).c_str()), std::to_string(i).c_str());
    AddAttribute(field, CreateAttribute("NUMRECORDS", "7"));
    EXPECT_STREQ(AttributeValue(AttributeByName(field, "NUMRECORDS")), "7");
    EXPECT_STREQ(AttributeValue(field->attributes.last), "2");
}

TEST_F(XmlParserTest, WithoutIgnoringWhiteSpaceOnlyBlankContentsAreDropped)
{
    ParsedFile file(Write("<r><a>  x  </a><b> \n\t </b></r>"), 0);
    ASSERT_EQ(file.loaded, 1);
    EXPECT_EQ(ContentsOf(file.Root(), "a"), "  x  ");
    EXPECT_EQ(ChildByName(file.Root(), "b")->contents, nullptr);
}

TEST_F(XmlParserTest, BuildsTheTreeInDocumentOrderWithLinksAndAttributes)
{
    ParsedFile file(Write("<?xml version='1.0' encoding='UTF-8'?>\n"
                          "<ns:export xmlns:ns='urn:x'><META z='1' a='2' ns:b='3'/><DOCUMENTS><d1/><d2/></DOCUMENTS>"
                          "</ns:export>"));
    ASSERT_EQ(file.loaded, 1);
    EXPECT_STREQ(file.tree->version, "1.0");
    EXPECT_STREQ(file.tree->encoding, "UTF-8");
    Element* root = file.Root();
    EXPECT_STREQ(ElementName(root), "ns:export");
    EXPECT_EQ(root->parent, nullptr);
    ASSERT_EQ(ChildCount(root), 2u);

    Element* meta = ChildAt(root, 0);
    std::string attributes;
    for (Attribute* a = meta->attributes.first; a != nullptr; a = a->next)
        attributes += std::string(a->name) + "=" + a->value + ";";
    EXPECT_EQ(attributes, "z=1;a=2;ns:b=3;");
    EXPECT_EQ(meta->attributes.count, 3u);
    EXPECT_EQ(AttributeByName(root, "xmlns:ns")->value, std::string("urn:x"));

    Element* documents = ChildByName(root, "DOCUMENTS");
    EXPECT_EQ(documents->parent, root);
    EXPECT_EQ(documents->previousSibling, meta);
    EXPECT_EQ(ChildCount(documents), 2u);
    EXPECT_EQ(documents->lastChild->previousSibling, documents->firstChild);
    EXPECT_EQ(file.parser->currentElement, nullptr);
    EXPECT_EQ(file.parser->openElements, nullptr);
}

TEST_F(XmlParserTest, DeclaredLatin1IsStillReadAsUtf8)
{
    ParsedFile file(Write("<?xml version='1.0' encoding='ISO-8859-1'?><r>caf\xC3\xA9</r>"));
    ASSERT_EQ(file.loaded, 1);
    EXPECT_STREQ(ElementContents(file.Root()), "caf\xC3\xA9");
    EXPECT_STREQ(file.tree->encoding, "ISO-8859-1");
}

TEST_F(XmlParserTest, BytesThatAreNotUtf8FailAsAnExpatError)
{
    ParsedFile file(Write("<?xml version='1.0' encoding='ISO-8859-1'?><r>caf\xE9</r>"));
    EXPECT_EQ(file.loaded, 0);
    EXPECT_EQ(LastError(), XmlExpatError);
    EXPECT_STREQ(ErrorText(LastError()), "Internal Expat parser error");
    EXPECT_STREQ(ExpatErrorText(ExpatErrorCode(file.parser)), "not well-formed (invalid token)");
    EXPECT_EQ(ExpatLine(file.parser), 1u);
}

TEST_F(XmlParserTest, MissingFileOrFolderIsAnInputOutputError)
{
    {
        ParsedFile file(folder.PathOf("absent.xml"));
        EXPECT_EQ(file.loaded, 0);
        EXPECT_EQ(LastError(), XmlInputOutputError);
        EXPECT_STREQ(ErrorText(LastError()), "Input/Output error");
        EXPECT_EQ(file.tree, nullptr);
    }
    ParsedFile folderAsFile(folder.PathOf(""));
    EXPECT_EQ(folderAsFile.loaded, 0);
    EXPECT_EQ(LastError(), XmlInputOutputError);
}

TEST_F(XmlParserTest, EmptyFileFailsWithNoElementFound)
{
    ParsedFile file(Write(""));
    EXPECT_EQ(file.loaded, 0);
    EXPECT_EQ(LastError(), XmlExpatError);
    EXPECT_STREQ(ExpatErrorText(ExpatErrorCode(file.parser)), "no element found");
}

TEST_F(XmlParserTest, ALaterSuccessKeepsTheLastError)
{
    { ParsedFile missing(folder.PathOf("absent.xml")); }
    ParsedFile file(Write("<r/>"));
    EXPECT_EQ(file.loaded, 1);
    EXPECT_EQ(LastError(), XmlInputOutputError);
}

TEST_F(XmlParserTest, ErrorTextsOfTheCodes)
{
    EXPECT_EQ(ErrorText(0), nullptr);
    EXPECT_STREQ(ErrorText(1), "Out of memory");
    EXPECT_EQ(ErrorText(4), nullptr);
    EXPECT_EQ(ErrorText(-1), nullptr);
}

TEST_F(XmlParserTest, MismatchedTagLeavesThePartBuiltTree)
{
    ParsedFile file(Write("<r>\n<a>text</a>\n<b></c></r>"));
    EXPECT_EQ(file.loaded, 0);
    EXPECT_EQ(LastError(), XmlExpatError);
    EXPECT_STREQ(ExpatErrorText(ExpatErrorCode(file.parser)), "mismatched tag");
    EXPECT_EQ(ExpatLine(file.parser), 3u);
    EXPECT_EQ(ExpatColumn(file.parser), 5u);
    ASSERT_NE(file.tree, nullptr);
    EXPECT_EQ(ContentsOf(file.Root(), "a"), "text");
}

// Characters cut by a 5000-byte piece boundary come through whole.
TEST_F(XmlParserTest, CharactersStraddlingAPieceBoundaryStayWhole)
{
    const std::string euro = "\xE2\x82\xAC";
    const std::string clef = "\xF0\x9D\x84\x9E";
    for (size_t offset : {4998u, 4999u}) {
        std::string head = "<r><a>";
        std::string text(offset - head.size(), 'x');
        // The second character straddles the next boundary, at 10000.
        text += euro + "y" + std::string(9998 - offset - 4, 'z') + clef + "end";
        ParsedFile file(Write(head + text + "</a></r>"));
        ASSERT_EQ(file.loaded, 1) << offset;
        EXPECT_EQ(ContentsOf(file.Root(), "a"), text) << offset;
    }
    std::string attributeHead = "<r><a v='";
    std::string value(5000 - attributeHead.size() - 1, 'x');
    value += euro;
    ParsedFile file(Write(attributeHead + value + "'/></r>"));
    ASSERT_EQ(file.loaded, 1);
    EXPECT_EQ(std::string(AttributeValue(AttributeByName(ChildByName(file.Root(), "a"), "v"))), value);
}

// The file reaches Expat in pieces of 64 KiB: characters, long texts and the
// white space before a text that the load leaves out all cross their ends.
TEST_F(XmlParserTest, TextsAndWhiteSpaceAcrossLargePieceEnds)
{
    const size_t piece = 64 * 1024;
    const std::string clef = "\xF0\x9D\x84\x9E";
    std::string indent;
    for (size_t i = 0; indent.size() < piece + 100; ++i)
        indent += i % 7 == 0 ? "\n" : i % 5 == 0 ? "\t" : "  ";
    std::string head = "<r><a>";
    std::string straddling(piece - head.size() - 2, 'x');
    straddling += clef + std::string(piece, 'y') + clef + "end";
    std::string xml = head + straddling + "</a>"
        + "<b>" + indent + "after indentation " + indent + "</b>"
        + "<c>" + indent + "&#13;&#9;referenced</c>"
        + "<d>" + indent + "<x/>" + indent + "</d>"
        + "<e>" + indent + "<x/>between<x/>" + indent + "children " + indent + "</e></r>";
    std::string path = Write(xml);

    ParsedFile file(path);
    ASSERT_EQ(file.loaded, 1);
    EXPECT_EQ(ContentsOf(file.Root(), "a"), straddling);
    EXPECT_EQ(ContentsOf(file.Root(), "b"), "after indentation");
    EXPECT_EQ(ContentsOf(file.Root(), "c"), "referenced");
    EXPECT_EQ(ContentsOf(file.Root(), "d"), " ");
    EXPECT_EQ(ChildByName(file.Root(), "d")->contents, nullptr);
    EXPECT_EQ(ContentsOf(file.Root(), "e"), "between" + indent + "children");

    // Without trimming, white space before a text is part of the text.
    ParsedFile untrimmed(path, 0);
    ASSERT_EQ(untrimmed.loaded, 1);
    EXPECT_EQ(ContentsOf(untrimmed.Root(), "b"), indent + "after indentation " + indent);
    EXPECT_EQ(ContentsOf(untrimmed.Root(), "c"), indent + "\r\treferenced");
    EXPECT_EQ(ChildByName(untrimmed.Root(), "d")->contents, nullptr);
}

} // namespace
