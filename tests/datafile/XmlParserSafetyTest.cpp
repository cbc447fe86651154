// Hostile or extreme data files: deep nesting, entity amplification, external
// entities, very long texts.
#include "datafile/XmlParser.h"

#include "ParsedFile.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <pthread.h>

#include <string>

namespace {

// Runs the work on a thread with a stack of the given size, as small as a
// worker thread's stack may be, so that recursion by depth would overflow it.
void RunOnStack(size_t stackSize, void (*work)())
{
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, stackSize);
    pthread_t thread;
    auto start = [](void* function) -> void* {
        reinterpret_cast<void (*)()>(function)();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attributes, start, reinterpret_cast<void*>(work)), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
}

void LoadAndFreeHundredThousandLevels()
{
    const int depth = 100000;
    std::string xml;
    xml.reserve(depth * 8);
    for (int i = 0; i < depth; ++i)
        xml += "<e>";
    xml += "deepest";
    for (int i = 0; i < depth; ++i)
        xml += "</e>";
    TempFolder folder;
    ParsedFile file(folder.Write("deep.xml", xml));
    ASSERT_EQ(file.loaded, 1);
    Element* element = file.Root();
    int levels = 1;
    while (ChildCount(element) == 1) {
        element = ChildAt(element, 0);
        ++levels;
    }
    EXPECT_EQ(levels, depth);
    EXPECT_STREQ(ElementContents(element), "deepest");
    // Cut the chain in the middle, then let the tree go: both free without recursion.
    Element* middle = file.Root();
    for (int i = 0; i < depth / 2; ++i)
        middle = middle->firstChild;
    FreeElement(middle);
}

TEST(XmlParserSafetyTest, HundredThousandLevelsLoadAndFreeOnASmallStack)
{
    RunOnStack(1024 * 1024, LoadAndFreeHundredThousandLevels);
}

TEST(XmlParserSafetyTest, EntityAmplificationFailsWithExpatsOwnError)
{
    std::string xml = "<?xml version='1.0'?>\n<!DOCTYPE r [\n<!ENTITY a0 'laugh laugh laugh laugh laugh'>\n";
    for (int i = 1; i <= 12; ++i) {
        std::string previous = "&a" + std::to_string(i - 1) + ";";
        xml += "<!ENTITY a" + std::to_string(i) + " '";
        for (int k = 0; k < 10; ++k)
            xml += previous;
        xml += "'>\n";
    }
    xml += "]>\n<r>&a12;</r>\n";
    TempFolder folder;
    ParsedFile file(folder.Write("laughs.xml", xml));
    EXPECT_EQ(file.loaded, 0);
    EXPECT_EQ(LastError(), XmlExpatError);
    EXPECT_EQ(ExpatErrorCode(file.parser), 43);
    EXPECT_STREQ(ExpatErrorText(ExpatErrorCode(file.parser)),
                 "limit on input amplification factor (from DTD and entities) breached");
}

TEST(XmlParserSafetyTest, ExternalEntitiesAreNeverRead)
{
    TempFolder folder;
    std::string secret = folder.Write("secret.txt", "SECRET-GENERAL");
    std::string dtd = folder.Write("secret.dtd", "<!ENTITY fromDtd 'SECRET-DTD'>");
    std::string xml = "<!DOCTYPE r SYSTEM '" + dtd + "' [\n"
                      "<!ENTITY general SYSTEM '" + secret + "'>\n"
                      "<!ENTITY % parameter SYSTEM '" + dtd + "'>\n"
                      "%parameter;\n"
                      "]>\n"
                      "<r><a>&general;</a><b>&fromDtd;</b><c>kept</c></r>";
    ParsedFile file(folder.Write("external.xml", xml));
    ASSERT_EQ(file.loaded, 1);
    EXPECT_STREQ(ElementContents(ChildByName(file.Root(), "a")), " ");
    EXPECT_STREQ(ElementContents(ChildByName(file.Root(), "b")), " ");
    EXPECT_STREQ(ElementContents(ChildByName(file.Root(), "c")), "kept");
}

TEST(XmlParserSafetyTest, FiftyMegabytesOfTextInOneElement)
{
    // Many lines, so that the text arrives in very many small pieces.
    std::string line(99, 'a');
    line += '\n';
    const size_t lines = 500000;
    std::string xml = "<r><big>";
    xml.reserve(lines * line.size() + 32);
    for (size_t i = 0; i < lines; ++i)
        xml += line;
    xml += "end</big></r>";
    TempFolder folder;
    ParsedFile file(folder.Write("big.xml", xml));
    ASSERT_EQ(file.loaded, 1);
    std::string contents = ElementContents(ChildByName(file.Root(), "big"));
    EXPECT_EQ(contents.size(), lines * line.size() + 3);
    EXPECT_EQ(contents.substr(contents.size() - 5), "a\nend");
}

TEST(XmlParserSafetyTest, ManyAttributesOnOneElement)
{
    std::string xml = "<r";
    const int count = 50000;
    for (int i = 0; i < count; ++i)
        xml += " a" + std::to_string(i) + "='" + std::to_string(i) + "'";
    xml += "/>";
    TempFolder folder;
    ParsedFile file(folder.Write("attributes.xml", xml));
    ASSERT_EQ(file.loaded, 1);
    EXPECT_EQ(file.Root()->attributes.count, static_cast<uint32_t>(count));
    EXPECT_STREQ(AttributeValue(file.Root()->attributes.last), "49999");
}

} // namespace
