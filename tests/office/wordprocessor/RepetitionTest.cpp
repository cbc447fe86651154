#include "tests/office/wordprocessor/WordFixture.h"

namespace word_test {
namespace {

class Repetition : public WordFixture {};

TEST_F(Repetition, ARowWithFourFieldsRepeatsToThreeRowsRightAfterTheOriginal) {
    const std::string body =
        Table({{TextRun("Item"), TextRun("Qty"), TextRun("Price"), TextRun("Sum")},
               {TextField("Item"), TextField("Qty"), TextField("Price"), TextField("Sum")},
               {TextRun("Total"), TextRun(""), TextRun(""), TextField("Total")}}) +
        Paragraph(TextField("Note"));
    auto path = WriteTemplate(folder, "rows.dotx", body);
    BuildDocument(word.Get(), path.string(),
                  {{"Item", 3, {"pen", "ink", "pad"}},
                   {"Qty", 1, {"1", "2", "3"}},
                   {"Price", 1, {"a", "b", "c"}},
                   {"Sum", 1, {"x", "y", "z"}},
                   {"Total", 1, {"T"}},
                   {"Note", 1, {"N"}}});
    std::string xml = Show("Document1");
    EXPECT_EQ(ParagraphTexts(xml), "Item|Qty|Price|Sum|pen|1|a|x|ink|2|b|y|pad|3|c|z|Total|||T|N");
    EXPECT_EQ(CountOf(xml, "<w:tr>"), 5u);
    EXPECT_EQ(CountOf(xml, "w:fldChar"), 0u);
}

TEST_F(Repetition, CopiesKeepTheFieldNamesButNotTheBookmarks) {
    auto path = WriteTemplate(folder, "last.dotx", Table({{TextField("Item"), TextField("Qty")}}));
    ComPtr<IDispatch> document = AddDocument(word.Get(), path.string());
    ComPtr<IDispatch> window = Get(document.Get(), u"ActiveWindow");
    Call(Call(Get(document.Get(), u"FormFields").Get(), u"Item", {Var(u"Item")}).Get(), u"Select");
    ComPtr<IDispatch> selection = Get(window.Get(), u"Selection");
    Call(selection.Get(), u"SelectRow");
    Call(selection.Get(), u"Copy");
    Call(selection.Get(), u"GoToNext", {Var(3)});
    Call(selection.Get(), u"Paste");
    Call(selection.Get(), u"Paste");
    EXPECT_EQ(FieldNames(document.Get()), "Item,Qty,Item,Qty,Item,Qty");
    std::string xml = Show("Document1");
    // The last row was copied: the copies were appended to the same table.
    EXPECT_EQ(CountOf(xml, "<w:tbl>"), 1u);
    EXPECT_EQ(CountOf(xml, "<w:tr>"), 3u);
    EXPECT_EQ(CountOf(xml, "w:bookmarkStart"), 2u);
}

TEST_F(Repetition, ARowInAContentControlRepeatsInsideItsTable) {
    std::string table = Table({{TextRun("Head")}, {TextField("Item")}});
    const size_t row = table.rfind("<w:tr>");
    table.insert(table.rfind("</w:tbl>"), "</w:sdtContent></w:sdt>");
    table.insert(row, "<w:sdt><w:sdtPr/><w:sdtContent>");
    BuildDocument(word.Get(), WriteTemplate(folder, "sdt.dotx", table).string(), {{"Item", 3, {"a", "b", "c"}}});
    std::string xml = Show("Document1");
    EXPECT_EQ(ParagraphTexts(xml), "Head|a|b|c|");
    EXPECT_EQ(CountOf(xml, "<w:tbl>"), 1u);
    EXPECT_LT(xml.find("<w:t>c</w:t>"), xml.find("</w:tbl>"));
}

TEST_F(Repetition, AParagraphRepeatsToThreeParagraphsInOrder) {
    const std::string body = Paragraph(TextRun("Before")) + Paragraph(TextRun("Line: ") + TextField("Line")) +
                             Paragraph(TextRun("After"));
    auto path = WriteTemplate(folder, "para.dotx", body);
    BuildDocument(word.Get(), path.string(), {{"Line", 3, {"one", "two", "three"}}});
    EXPECT_EQ(ParagraphTexts(Show("Document1")), "Before|Line: one|Line: two|Line: three|After");
}

TEST_F(Repetition, TheLastParagraphRepeatsAtTheEndOfTheDocument) {
    auto path = WriteTemplate(folder, "end.dotx", Paragraph(TextRun("Top")) + Paragraph(TextField("Line")));
    BuildDocument(word.Get(), path.string(), {{"Line", 2, {"1", "2"}}});
    std::string xml = Show("Document1");
    EXPECT_EQ(ParagraphTexts(xml), "Top|1|2");
    EXPECT_LT(xml.rfind("<w:p>"), xml.find("<w:sectPr>"));
}

TEST_F(Repetition, WordMadeRowsRepeatToo) {
    std::string sample = SamplePath("poi-form_footnotes.docx");
    ComPtr<IDispatch> document = BuildDocument(word.Get(), sample, {{"Text2", 3, {"a", "b", "c"}}});
    // Every text field is filled; only check boxes remain.
    ComPtr<IDispatch> fields = Get(document.Get(), u"FormFields");
    const LONG left = GetInt(fields.Get(), u"Count");
    EXPECT_GE(left, 29);
    for (int i = 1; i <= left; ++i) EXPECT_EQ(GetInt(Call(fields.Get(), u"Item", {Var(i)}).Get(), u"Type"), 71);
    std::string texts = ParagraphTexts(Show("Document1"));
    EXPECT_LT(texts.find("|a|"), texts.find("|b|"));
    EXPECT_LT(texts.find("|b|"), texts.find("|c|"));
}

}  // namespace
}  // namespace word_test
