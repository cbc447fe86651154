// Repetition through what holds a field: content controls at every level,
// nested tables and tables with nothing between them.
#include "tests/office/wordprocessor/WordFixture.h"

namespace word_test {
namespace {

class Containers : public WordFixture {
protected:
    std::string Fill(const std::string& body, std::vector<FieldData> fields) {
        const std::string name = "Document" + std::to_string(++documents);
        BuildDocument(word.Get(), WriteTemplate(folder, name + ".dotx", body).string(), std::move(fields));
        return Show(name);
    }
    int documents = 0;
};

TEST_F(Containers, AParagraphInABlockControlRepeatsInsideTheControl) {
    const std::string field = Paragraph(TextRun("R: ") + TextField("R"));
    std::string last = Fill(Paragraph(TextRun("Head")) + ContentControl(field) + Paragraph(TextRun("tail")),
                            {{"R", 3, {"r1", "r2", "r3"}}});
    EXPECT_EQ(ParagraphTexts(last), "Head|R: r1|R: r2|R: r3|tail");
    EXPECT_LT(last.rfind("r3"), last.find("</w:sdtContent>"));

    std::string middle = Fill(ContentControl(field + Paragraph(TextRun("closing"))), {{"R", 2, {"r1", "r2"}}});
    EXPECT_EQ(ParagraphTexts(middle), "R: r1|R: r2|closing");
}

TEST_F(Containers, ATableInABlockControlGetsItsRowsAndNoStrayParagraph) {
    const std::string table = Table({{TextRun("H")}, {TextField("A")}});
    std::string followed = Fill(ContentControl(table) + Paragraph(TextRun("after")), {{"A", 3, {"a1", "a2", "a3"}}});
    EXPECT_EQ(ParagraphTexts(followed), "H|a1|a2|a3|after");
    EXPECT_NE(followed.find("</w:tbl></w:sdtContent>"), std::string::npos);

    // Nothing after the control: the paragraph that must follow a table goes after the control.
    std::string alone = Fill(ContentControl(table), {{"A", 2, {"a1", "a2"}}});
    EXPECT_EQ(ParagraphTexts(alone), "H|a1|a2|");
    EXPECT_NE(alone.find("</w:tbl></w:sdtContent></w:sdt><w:p"), std::string::npos);
}

TEST_F(Containers, CopiesOfARowInARowControlComeBeforeTheNextRow) {
    const std::string rows = Row({TextRun("H")}) + ContentControl(Row({TextField("A")})) + Row({TextRun("Total")});
    EXPECT_EQ(ParagraphTexts(Fill(TableOfRows(1, rows), {{"A", 3, {"a1", "a2", "a3"}}})), "H|a1|a2|a3|Total");

    // The next row may itself sit in a control: the copies go before that control.
    const std::string controlled = Row({TextField("A")}) + ContentControl(Row({TextRun("Total")}), 2);
    std::string xml = Fill(TableOfRows(1, controlled), {{"A", 2, {"a1", "a2"}}});
    EXPECT_EQ(ParagraphTexts(xml), "a1|a2|Total");
    EXPECT_EQ(CountOf(xml, "<w:sdt>"), 1u);
}

TEST_F(Containers, FieldsInCellAndRunControlsAreFilledAndRepeated) {
    const std::string row = "<w:tr>" + ContentControl(Cell(Paragraph(TextField("A")))) + Cell(Paragraph(TextField("B"))) +
                            "</w:tr>";
    const std::string body = TableOfRows(2, row) +
                             Paragraph(TextRun("Run: ") + ContentControl(TextField("C"), 2) + TextRun(" end"));
    std::string xml = Fill(body, {{"A", 2, {"a1", "a2"}}, {"B", 1, {"b1", "b2"}}, {"C", 1, {"c"}}});
    EXPECT_EQ(ParagraphTexts(xml), "a1|b1|a2|b2|Run: c end");
    EXPECT_EQ(CountOf(xml, "w:fldChar"), 0u);
}

TEST_F(Containers, ANestedRowRepeatsInItsOwnTable) {
    const std::string inner = Table({{TextField("I")}});
    const std::string outer = TableOfRows(1, Row({TextRun("outer")}) + "<w:tr>" + Cell(inner + Paragraph("")) + "</w:tr>");
    std::string xml = Fill(outer + Paragraph(TextRun("end")), {{"I", 3, {"i1", "i2", "i3"}}});
    EXPECT_EQ(ParagraphTexts(xml), "outer|i1|i2|i3||end");
    // Two outer rows, three inner ones, and the inner table closes after i3.
    EXPECT_EQ(CountOf(xml, "<w:tr>"), 5u);
    EXPECT_LT(xml.find("i3"), xml.find("</w:tbl>"));
}

TEST_F(Containers, RowCopiesGoBeforeANextRowThatOpensWithANestedTable) {
    const std::string nested = "<w:tr>" + Cell(Table({{TextRun("inside")}}) + Paragraph("")) + "</w:tr>";
    std::string xml = Fill(TableOfRows(1, Row({TextField("A")}) + nested), {{"A", 3, {"a1", "a2", "a3"}}});
    EXPECT_EQ(ParagraphTexts(xml), "a1|a2|a3|inside|");
    // Four outer rows; the nested table keeps its one row.
    EXPECT_EQ(CountOf(xml, "<w:tr>"), 5u);
    const size_t inner = xml.find("<w:tbl>", xml.find("<w:tbl>") + 1);
    EXPECT_EQ(CountOf(xml.substr(inner, xml.find("</w:tbl>") - inner), "<w:tr>"), 1u);
}

TEST_F(Containers, RowsAfterTheFirstOfTwoAdjacentTablesKeepThemTogether) {
    const std::string body = Table({{TextRun("h1")}, {TextField("A")}}) + Table({{TextRun("h2")}}) +
                             Paragraph(TextRun("end"));
    std::string xml = Fill(body, {{"A", 3, {"a1", "a2", "a3"}}});
    EXPECT_EQ(ParagraphTexts(xml), "h1|a1|a2|a3|h2|end");
    EXPECT_NE(xml.find("</w:tbl><w:tbl>"), std::string::npos);
    EXPECT_EQ(CountOf(xml, "<w:p>"), 6u);
}

}  // namespace
}  // namespace word_test
