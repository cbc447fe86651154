// WordGenerator::Run with the real word processor, checked in the written
// documents with python-docx.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "generator/CancelRequested.h"
#include "tests/word/CallWatcher.h"
#include "tests/word/WordRun.h"

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::StartsWith;

namespace {

const std::string Header = "Pos\tDescription\tQuantity\tUnit price\tAmount";

using WordGeneratorTest = WordRun;

TEST_F(WordGeneratorTest, RecordFieldsOfOneRowRepeatItOnce) {
    EXPECT_EQ(Run("order_example.xml"), 0);
    ASSERT_THAT(Documents(), ElementsAre("Document1.docx"));
    std::vector<std::string> lines = Text("Document1.docx");
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "Invoice  of ");
    EXPECT_EQ(lines[1], "Sample customer");
    // Quantity was marked by Pos's repetition, so the row occurs three times, not five.
    EXPECT_THAT(Rows("Document1.docx"),
                ElementsAre(Header, "A-100\t\t2\t\t", "A-200\t\t10\t\t", "B-300\t\t1\t\t"));
    EXPECT_STREQ(AttributeValue(AttributeByName(Field(0, "Quantity"), "EXPANDED")), "true");
    EXPECT_STREQ(AttributeValue(AttributeByName(Field(0, "Pos"), "EXPANDED")), "true");
    EXPECT_EQ(AttributeByName(Field(0, "Name"), "EXPANDED"), nullptr);
    // Every value was taken.
    EXPECT_EQ(ChildCount(Field(0, "Quantity")), 0u);
    EXPECT_THAT(Fields("Document1.docx"), IsEmpty());
}

TEST_F(WordGeneratorTest, MissingAndEmptyValuesAndRepeatedParagraphs) {
    EXPECT_EQ(Run("records.xml"), 0);
    // Pos has two values for three rows; Description's third value is empty: one space.
    EXPECT_THAT(Rows("Document1.docx"),
                ElementsAre(Header, "1\tLamp\t\t\t", "2\tBulb & socket\t\t\t", "\t \t\t\t"));
    std::vector<std::string> notes;
    for (const std::string& line : Text("Document1.docx"))
        if (line.rfind("Note: ", 0) == 0) notes.push_back(line);
    EXPECT_THAT(notes, ElementsAre("Note: first", "Note: second"));
}

TEST_F(WordGeneratorTest, NoRepetitionForLowOrBadCountsOrExpandedOrUnknownFields) {
    EXPECT_EQ(Run("no_repetition.xml"), 0);
    ASSERT_THAT(Documents(), ElementsAre("Document1.docx", "Document2.docx", "Document3.docx",
                                         "Document4.docx", "Document5.docx"));
    const char* firstCells[] = {"1", "2", "3", "4", "5"};
    for (int i = 0; i < 5; ++i) {
        std::string document = "Document" + std::to_string(i + 1) + ".docx";
        SCOPED_TRACE(document);
        EXPECT_THAT(Rows(document), ElementsAre(Header, std::string(firstCells[i]) + "\t\t\t\t"));
    }
    // The failed lookup of NoSuchField was dropped: no message.
    EXPECT_THAT(dialog.MessageBoxes(), IsEmpty());
    EXPECT_EQ(AttributeByName(Field(4, "NoSuchField"), "EXPANDED"), nullptr);
}

TEST_F(WordGeneratorTest, DocumentWithoutFieldsEmptiesEveryTextField) {
    EXPECT_EQ(Run("no_fields.xml"), 0);
    std::vector<std::string> lines = Text("Document1.docx");
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "Invoice  of ");
    EXPECT_EQ(lines[1], "");
    EXPECT_THAT(Rows("Document1.docx"), ElementsAre(Header, "\t\t\t\t"));
    EXPECT_THAT(lines, Contains("Total: "));
    EXPECT_THAT(Fields("Document1.docx"), IsEmpty());
}

TEST_F(WordGeneratorTest, CheckBoxesAndDropDownsAreLeftAsTheyAre) {
    EXPECT_EQ(Run("legacy_forms.xml"), 0);
    EXPECT_THAT(Fields("Document1.docx"), ElementsAre("checkbox\tCheck1", "dropdown\tDropdown1"));
    std::string body;
    for (const std::string& line : Text("Document1.docx")) body += line + "\n";
    EXPECT_THAT(body, ::testing::HasSubstr("filled in"));
    EXPECT_THAT(body, Not(::testing::HasSubstr("not for a")));
}

TEST_F(WordGeneratorTest, StatusLineNamesTheDocumentAndRowPassStepsOncePerField) {
    EXPECT_EQ(Run("progress.xml"), 0);
    EXPECT_THAT(dialog.TextsOf(StatusLine), ElementsAre("Filling Document1, then %1$s"));
    // Four field elements, two of them in one repeated row: 10, 32, 55, 77, then 100.
    EXPECT_THAT(dialog.TextsOf(Percentage), ElementsAre("10%", "32%", "55%", "77%", "100%"));
}

TEST_F(WordGeneratorTest, MissingTemplateQuitsTheWordProcessorAndReportsAddOnce) {
    std::vector<std::string> members;
    CallWatcher watcher([&members](const std::string& member, WORD) { members.push_back(member); });
    EXPECT_EQ(Run("missing_template.xml"), 0);
    std::vector<ShownBox> boxes = dialog.MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_THAT(boxes[0].text, StartsWith("IDispatch::Invoke(\"Add\"="));
    EXPECT_THAT(members, Contains("Quit"));
    EXPECT_THAT(Documents(), IsEmpty());
}

TEST_F(WordGeneratorTest, CancelDuringTheFieldPassLeavesLaterFieldsAndStillShows) {
    int texts = 0;
    CallWatcher watcher([&texts](const std::string& member, WORD kind) {
        if (member == "Text" && (kind & DISPATCH_PROPERTYPUT) && ++texts == 2) CancelRequested = 1;
    });
    EXPECT_EQ(Run("examples/invoice.xml"), 0);
    // The second document is not built; the first is shown as it is.
    ASSERT_THAT(Documents(), ElementsAre("Document1.docx"));
    std::vector<std::string> lines = Text("Document1.docx");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "Invoice 2024-0117 of 15 March 2024");
    std::vector<std::string> fields = Fields("Document1.docx");
    EXPECT_THAT(fields, Contains("text\tName"));
    EXPECT_THAT(fields, Not(Contains("text\tInvoiceDate")));
    // The row pass had finished: the data row occurs three times, still unfilled.
    EXPECT_EQ(Rows("Document1.docx").size(), 4u);
    EXPECT_EQ(dialog.TextsOf(Percentage).back(), "100%");
    EXPECT_THAT(dialog.MessageBoxes(), IsEmpty());
}

}  // namespace
