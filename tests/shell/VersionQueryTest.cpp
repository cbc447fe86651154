#include <gtest/gtest.h>

#include "shell/VersionQuery.h"

namespace {

TEST(VersionQuery, AcceptsVersionsNotNewerThan115) {
    for (const char* version : {"0.9", "1.0", "1.0.7", "1.1.0", "1.1.5", "1.1.5.0", " 1.1.5", "1.0.99"}) {
        EXPECT_TRUE(IsVersionSupported(version)) << version;
    }
    for (const char* version : {"1", "1.1", "1.1.6", "1.2.0", "2.0", "", "x", "1.10.0"}) {
        EXPECT_FALSE(IsVersionSupported(version)) << version;
    }
    // Numbers are read as a string-to-integer conversion reads them.
    EXPECT_TRUE(IsVersionSupported("a.b"));
    EXPECT_TRUE(IsVersionSupported("1.1.5rc"));
    EXPECT_TRUE(IsVersionSupported("1.1.x6"));
    EXPECT_FALSE(IsVersionSupported("1.1.+6"));
}

struct Case {
    const char* commandLine;
    VersionQuery answer;
    const char* after;
};

TEST(VersionQuery, IsRecognisedOnlyAtTheStartOfTheCommandLine) {
    const Case cases[] = {
        {"-v 1.1.5", VersionQuery::Answered, ""},
        {"-v 1.0", VersionQuery::Answered, ""},
        {"  -v 1.0", VersionQuery::Answered, ""},
        {"-v 1.1.6", VersionQuery::Refused, ""},
        {"-v 1.1", VersionQuery::Refused, ""},
        {"-v 2", VersionQuery::Refused, ""},
        // Not a query: paths with "-v" inside are data files.
        {"data-v2.xml", VersionQuery::None, "data-v2.xml"},
        {"/home/user/my-vacation.xml", VersionQuery::None, "/home/user/my-vacation.xml"},
        {"report.xml -v 1.0", VersionQuery::None, "report.xml -v 1.0"},
        // "-v" without room for a version is refused.
        {"-v", VersionQuery::Refused, ""},
        {"  -v", VersionQuery::Refused, ""},
        {"-v ", VersionQuery::Refused, ""},
        // After an accepted version the rest is the data file path, taken whole.
        {"-v 1.0 data.xml", VersionQuery::Continue, "data.xml"},
        {"-v 1.1.5   my data.xml ", VersionQuery::Continue, "my data.xml "},
        {"-v 1.0 \"a b.xml\"", VersionQuery::Continue, "\"a b.xml\""},
        {"-v 1.0 x", VersionQuery::Answered, "x"},
        {"-v 1.0    ", VersionQuery::Answered, ""},
        {"-v 2.0 data.xml", VersionQuery::Refused, ""},
    };
    for (const Case& c : cases) {
        std::string commandLine = c.commandLine;
        const VersionQuery answer = ReadVersionQuery(commandLine);
        EXPECT_EQ(c.answer, answer) << c.commandLine;
        if (answer != VersionQuery::Refused) {
            EXPECT_EQ(c.after, commandLine) << c.commandLine;
        }
    }
}

}  // namespace
