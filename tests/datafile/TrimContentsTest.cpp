#include "datafile/TrimContents.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Trimmed(std::string text)
{
    size_t length = TrimContents(text.data());
    EXPECT_EQ(length, std::strlen(text.c_str()));
    return text.c_str();
}

TEST(TrimContentsTest, CutsBothEndsAndKeepsInnerRuns)
{
    EXPECT_EQ(Trimmed(" \t\r\n a   b \t\r\n\v"), "a   b");
    EXPECT_EQ(Trimmed("\v\vx"), "x");
    EXPECT_EQ(Trimmed("plain"), "plain");
    EXPECT_EQ(Trimmed(" \n\t "), "");
    EXPECT_EQ(Trimmed(""), "");
}

TEST(TrimContentsTest, FormFeedIsCutAtTheEndOnly)
{
    EXPECT_EQ(Trimmed("\fvalue\f"), "\fvalue");
    EXPECT_EQ(Trimmed(" \f value"), "\f value");
    EXPECT_EQ(Trimmed("\f"), "");
}

TEST(TrimContentsTest, NeverCutsBytesOfMultiByteCharacters)
{
    // U+00A0 no-break space is C2 A0; U+0085 next line is C2 85; U+3000 is E3 80 80.
    EXPECT_EQ(Trimmed("\xC2\xA0x\xC2\xA0"), "\xC2\xA0x\xC2\xA0");
    EXPECT_EQ(Trimmed(" \xC2\x85 "), "\xC2\x85");
    EXPECT_EQ(Trimmed("\xE3\x80\x80"), "\xE3\x80\x80");
}

TEST(TrimContentsTest, OnlyWhiteSpaceTrimsToNothing)
{
    EXPECT_TRUE(TrimsToNothing(" \t\r\n\v\f", 6));
    EXPECT_TRUE(TrimsToNothing("\f", 1));
    EXPECT_FALSE(TrimsToNothing(" \fx", 3));
    EXPECT_FALSE(TrimsToNothing("\xC2\xA0", 2));
    // Only the given length counts.
    EXPECT_TRUE(TrimsToNothing("  x", 2));
}

} // namespace
