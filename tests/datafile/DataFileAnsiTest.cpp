// Runs with the ANSI code page set to Windows-1252.
#include "datafile/DataFile.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

TEST(DataFileAnsiTest, MessageTextsComeInTheAnsiCodePage)
{
    TempFolder folder;
    std::string path = folder.Write("data.xml", "<export><META>"
                                                "<TITLE>R\xC3\xA9sum\xC3\xA9 \xE2\x82\xAC</TITLE>"
                                                "<CANCEL>\xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80 ok</CANCEL>"
                                                "</META></export>");
    DataFile data(path.c_str());
    std::unique_ptr<char[]> title(data.GetMessageText("TITLE"));
    std::unique_ptr<char[]> cancel(data.GetMessageText("CANCEL"));
    // Latin letters and the euro sign exist in the code page; the rest becomes '?'.
    EXPECT_STREQ(title.get(), "R\xE9sum\xE9 \x80");
    EXPECT_EQ(std::string(cancel.get()).substr(0, 3), "?? ");
    EXPECT_EQ(std::string(cancel.get()).substr(std::string(cancel.get()).size() - 3), " ok");
}

} // namespace
