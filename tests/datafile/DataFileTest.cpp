#include "datafile/DataFile.h"

#include <windows.h>

#include "automation/COMException.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

std::string Meta(const std::string& inside)
{
    return "<?xml version='1.0' encoding='UTF-8'?>\n<export>\n  <META>\n" + inside
        + "  </META>\n  <DOCUMENTS><doc/></DOCUMENTS>\n</export>\n";
}

std::string WithType(const std::string& type)
{
    return Meta("    <TEMPLATE TYPE='" + type + "'>C:\\Templates\\order.dot</TEMPLATE>\n");
}

class DataFileTest : public ::testing::Test {
protected:
    std::unique_ptr<DataFile> Load(const std::string& xml)
    {
        return std::make_unique<DataFile>(folder.Write("data.xml", xml).c_str());
    }

    std::string MessageText(DataFile& data, const char* key)
    {
        std::unique_ptr<char[]> text(data.GetMessageText(key));
        return text.get();
    }

    // The text of the exception the load throws.
    std::string LoadFailure(const std::string& path)
    {
        try {
            DataFile data(path.c_str());
        } catch (const COMException& e) {
            return e.message;
        }
        ADD_FAILURE() << "loading " << path << " did not fail";
        return "";
    }

    TempFolder folder;
};

TEST_F(DataFileTest, TypeIsReadByStringToIntegerRules)
{
    const std::pair<const char*, int> cases[] = {
        {"1", 1}, {"2", 2}, {"  2", 2}, {"2abc", 2}, {"\t+2", 2}, {"-1", -1}, {"abc", 0}, {"", 0}, {"3", 3},
    };
    for (const auto& [text, type] : cases)
        EXPECT_EQ(Load(WithType(text))->GetType(), type) << "'" << text << "'";
}

TEST_F(DataFileTest, TypeIsZeroWhenItsPlaceIsMissing)
{
    EXPECT_EQ(Load(Meta("    <TEMPLATE>x</TEMPLATE>\n"))->GetType(), 0);
    EXPECT_EQ(Load(Meta("    <TEMPLATE_X TYPE='1'/>\n"))->GetType(), 0);
    EXPECT_EQ(Load("<export><META TYPE='1'><TEMPLATE>x</TEMPLATE></META></export>")->GetType(), 0);
    EXPECT_EQ(Load("<export><meta><TEMPLATE TYPE='1'/><TITLE>t</TITLE></meta></export>")->GetType(), 0);
    // Only the first TEMPLATE counts.
    EXPECT_EQ(Load(Meta("    <TEMPLATE>x</TEMPLATE>\n    <TEMPLATE TYPE='2'/>\n"))->GetType(), 0);
}

TEST_F(DataFileTest, WithoutMetaTheFileLoadsAndEveryTextIsEmpty)
{
    std::unique_ptr<DataFile> data = Load("<export><meta><TITLE>t</TITLE></meta><DOCUMENTS/></export>");
    EXPECT_EQ(data->GetType(), 0);
    EXPECT_STREQ(ElementName(data->GetRoot()), "export");
    for (const char* key : {"TITLE", "CANCEL", "INITIALIZE", "PROGRESS", "ERRORWORD"})
        EXPECT_EQ(MessageText(*data, key), "") << key;
}

TEST_F(DataFileTest, MessageTextsAreTrimmedAndEmptyElementsGiveOneSpace)
{
    std::unique_ptr<DataFile> data = Load(Meta("    <TITLE>  Creating document \n</TITLE>\n"
                                               "    <CANCEL/>\n"
                                               "    <PROGRESS>Filling %1$s</PROGRESS>\n"
                                               "    <ERRORWORD>The document is incomplete </ERRORWORD>\n"
                                               "    <TITLE>second</TITLE>\n"));
    EXPECT_EQ(MessageText(*data, "TITLE"), "Creating document");
    EXPECT_EQ(MessageText(*data, "CANCEL"), " ");
    EXPECT_EQ(MessageText(*data, "INITIALIZE"), "");
    EXPECT_EQ(MessageText(*data, "PROGRESS"), "Filling %1$s");
    EXPECT_EQ(MessageText(*data, "ERRORWORD"), "The document is incomplete");
    EXPECT_EQ(MessageText(*data, "title"), "");
}

TEST_F(DataFileTest, EveryMessageTextIsAFreshBuffer)
{
    std::unique_ptr<DataFile> data = Load(Meta("    <TITLE>t</TITLE>\n"));
    std::unique_ptr<char[]> first(data->GetMessageText("TITLE"));
    std::unique_ptr<char[]> second(data->GetMessageText("TITLE"));
    EXPECT_NE(first.get(), second.get());
    first[0] = 'x';
    EXPECT_STREQ(second.get(), "t");
}

TEST_F(DataFileTest, UnicodeTextsPassUnchangedThroughAUtf8CodePage)
{
    if (GetACP() != CP_UTF8)
        GTEST_SKIP() << "the ANSI code page is " << GetACP();
    std::unique_ptr<DataFile> data = Load(Meta("    <TITLE>R\xC3\xA9sum\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80</TITLE>\n"));
    EXPECT_EQ(MessageText(*data, "TITLE"), "R\xC3\xA9sum\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80");
}

TEST_F(DataFileTest, TheRootGivesTheWholeTree)
{
    std::unique_ptr<DataFile> data = Load(WithType("1"));
    Element* documents = ChildByName(data->GetRoot(), "DOCUMENTS");
    ASSERT_NE(documents, nullptr);
    EXPECT_EQ(ChildCount(documents), 1u);
    // The generators edit the tree; the data file keeps answering.
    FreeElement(documents);
    EXPECT_EQ(data->GetType(), 1);
}

TEST_F(DataFileTest, MissingFileGivesOneLine)
{
    std::string path = folder.PathOf("absent.xml");
    EXPECT_EQ(LoadFailure(path), "Unable to load file " + path + " (error #2: Input/Output error)\n");
}

TEST_F(DataFileTest, NoPathAtAllIsAnInputOutputError)
{
    try {
        DataFile data(nullptr);
        ADD_FAILURE() << "loading without a path did not fail";
    } catch (const COMException& e) {
        EXPECT_EQ(e.message, "Unable to load file  (error #2: Input/Output error)\n");
    }
}

TEST_F(DataFileTest, FileCutOffInAnElementGivesBothLines)
{
    std::string path = folder.Write("cut.xml", "<export>\n  <META>\n    <TITLE>Creating doc");
    EXPECT_EQ(LoadFailure(path), "Unable to load file " + path
                                     + " (error #3: Internal Expat parser error)\n"
                                       "Expat error #3 (line 3, column 23): no element found\n");
}

TEST_F(DataFileTest, MalformedFileNamesExpatsMessage)
{
    std::string path = folder.Write("bad.xml", "<export>\n<META></TITLE></export>");
    EXPECT_EQ(LoadFailure(path), "Unable to load file " + path
                                     + " (error #3: Internal Expat parser error)\n"
                                       "Expat error #7 (line 2, column 8): mismatched tag\n");
    std::string empty = folder.Write("empty.xml", "");
    EXPECT_EQ(LoadFailure(empty), "Unable to load file " + empty
                                      + " (error #3: Internal Expat parser error)\n"
                                        "Expat error #3 (line 1, column 0): no element found\n");
}

TEST_F(DataFileTest, AVeryLongPathIsReportedWhole)
{
    std::string path = folder.PathOf(std::string(200, 'd'));
    for (int i = 0; i < 60; ++i)
        path += "/" + std::string(200, 'd');
    EXPECT_EQ(LoadFailure(path), "Unable to load file " + path + " (error #2: Input/Output error)\n");

    std::string longName = folder.Write(std::string(250, 'n') + ".xml", "<r>");
    std::string text = LoadFailure(longName);
    EXPECT_EQ(text.substr(0, 20 + longName.size()), "Unable to load file " + longName);
    EXPECT_NE(text.find("\nExpat error #3 (line 1, column 3): no element found\n"), std::string::npos);
}

} // namespace
