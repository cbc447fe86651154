// The word generator under the Windows-1252 ANSI code page: the status line
// is single-byte text, values reach the document unchanged.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/word/WordRun.h"

using ::testing::ElementsAre;

namespace {

using WordAnsiTest = WordRun;

TEST_F(WordAnsiTest, ValuesKeepTheirCharactersAndTheStatusLineIsSingleByte) {
    ASSERT_EQ(GetACP(), 1252u);
    EXPECT_EQ(Run("ansi.xml"), 0);
    EXPECT_THAT(dialog.TextsOf(StatusLine), ElementsAre("F\xFCllen Document1"));
    std::vector<std::string> lines = Text("Document1.docx");
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[1], "Åse Ødegård");
    EXPECT_EQ(lines[2], "Straße 5 – Ünïcödé €");
    EXPECT_EQ(lines[3], "Ávila Ős 東京");
}

}  // namespace
