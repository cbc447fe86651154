// The fields of pasted copies join the form-field index without a scan of
// the document. Whichever way a paste goes (beside fields the index knows,
// far from any, before many, or with marks that pair outside the copy), the
// index must list what a fresh scan of the story lists, in the same order.
#include "office/wordprocessor/SelectionEditing.h"
#include "office/wordprocessor/WordNames.h"
#include "tests/office/wordprocessor/TemplateBuilder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace word_test {
namespace {

using namespace office::word;

const std::string kOpenField =
    "<w:r><w:fldChar w:fldCharType=\"begin\"><w:ffData><w:name w:val=\"Open\"/><w:textInput/></w:ffData></w:fldChar></w:r>"
    "<w:r><w:instrText> FORMTEXT </w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>";
const std::string kCloseField = "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>";

class PastedFields : public ::testing::Test {
protected:
    void TearDown() override { std::filesystem::remove_all(folder); }

    WordDocument& Open(const std::string& body) {
        document = std::make_unique<WordDocument>("Document1", LoadWordTemplate(WriteTemplate(folder, "t.dotx", body)));
        return *document;
    }

    // The names by index position, after checking them against a fresh scan.
    std::string IndexedNames() {
        std::vector<FormField> scanned = ScanFormFields(document->Body(), document->Names());
        FieldIndex& index = document->Fields();
        EXPECT_EQ(index.Count(), scanned.size());
        std::string names;
        for (size_t i = 0; i < scanned.size() && i < index.Count(); ++i) {
            FormFieldPtr field = index.At(i + 1);
            EXPECT_EQ(field->beginRun, scanned[i].beginRun) << "field " << i + 1;
            EXPECT_EQ(field->endRun, scanned[i].endRun) << "field " << i + 1;
            names += (i ? "," : "") + field->name;
        }
        return names;
    }

    // Selects the row of the named field, copies it, and pastes it after the
    // row `times` times, as the program repeats a record row.
    void RepeatRowOf(const std::string& name, int times) {
        Span selection = FieldSpan(document->Fields().ByName(name));
        SelectRow(*document, selection);
        Copy(*document, selection, clipboard);
        GoToNextLine(*document, selection);
        for (int i = 0; i < times; ++i) Paste(*document, selection, clipboard);
    }

    std::filesystem::path folder = MakeTempFolder();
    std::unique_ptr<WordDocument> document;
    Clipboard clipboard;
};

TEST_F(PastedFields, RowCopiesJoinInOrderAndStayRightThroughFillingAndFurtherPastes) {
    Open(Paragraph(TextField("Head")) + Table({{TextField("A"), TextField("B")}, {TextRun("x"), TextRun("y")}}) +
         Paragraph(TextField("Tail")));
    ASSERT_EQ(IndexedNames(), "Head,A,B,Tail");
    RepeatRowOf("A", 3);
    EXPECT_EQ(IndexedNames(), "Head,A,B,A,B,A,B,A,B,Tail");
    // A name finds its first field, the original's.
    EXPECT_EQ(document->Fields().ByName("b")->beginRun, document->Fields().At(3)->beginRun);

    // Filled from the front as the program does: the next field moves up to 1.
    for (int i = 0; i < 3; ++i) {
        Span field = FieldSpan(document->Fields().At(1));
        SetText(*document, field, "v" + std::to_string(i));
    }
    EXPECT_EQ(IndexedNames(), "A,B,A,B,A,B,Tail");
    EXPECT_EQ(document->Fields().ByName("A")->beginRun, document->Fields().At(1)->beginRun);

    // A copied row pasted over a selected row.
    Span row = FieldSpan(document->Fields().At(3));
    SelectRow(*document, row);
    Copy(*document, row, clipboard);
    Paste(*document, row, clipboard);
    EXPECT_EQ(IndexedNames(), "A,B,A,B,A,B,Tail");
}

TEST_F(PastedFields, RowsOfANestedTableJoinTheirOwnTablesPlace) {
    const std::string inner = Table({{TextField("I1"), TextField("I2")}});
    Open(TableOfRows(1, Row({TextField("Outer")}) + "<w:tr>" + Cell(inner + Paragraph(TextField("Below"))) + "</w:tr>") +
         Paragraph(TextField("End")));
    RepeatRowOf("I1", 2);
    EXPECT_EQ(IndexedNames(), "Outer,I1,I2,I1,I2,I1,I2,Below,End");
    RepeatRowOf("Outer", 1);
    EXPECT_EQ(IndexedNames(), "Outer,Outer,I1,I2,I1,I2,I1,I2,Below,End");
}

TEST_F(PastedFields, PastesFarFromKnownFieldsOrBeforeManyFallBackToAScan) {
    std::string fieldless;
    for (int i = 0; i < 1500; ++i) fieldless += Paragraph(TextRun("filler"));
    std::string many;
    for (int i = 0; i < 300; ++i) many += Paragraph(TextField("M" + std::to_string(i)));
    Open(fieldless + Table({{TextRun("first")}, {TextField("R")}}) + many);
    // The row replaces the fieldless first row, with nothing but filler before it.
    Span row = FieldSpan(document->Fields().ByName("R"));
    SelectRow(*document, row);
    Copy(*document, row, clipboard);
    Span target = FieldSpan(document->Fields().ByName("R"));
    SelectRow(*document, target);
    target = NodeSpan(*document, SpanKind::Row, target.node.previous_sibling());
    Paste(*document, target, clipboard);
    std::string names = IndexedNames();
    EXPECT_EQ(names.substr(0, 8), "R,R,M0,M");
    EXPECT_EQ(document->Fields().Count(), 302u);
}

TEST_F(PastedFields, CopiesWhoseMarksPairOutsideThemOrSitInTextBoxesAreLikeAScan) {
    Open(Paragraph(TextRun("a") + kOpenField + TextRun("one")) + Paragraph(TextRun("two") + kCloseField) +
         Paragraph(TextField("Last")) + "<w:p><w:r><w:pict><w:txbxContent>" + Paragraph(TextField("Boxed")) +
         "</w:txbxContent></w:pict></w:r></w:p>");
    ASSERT_EQ(IndexedNames(), "Open,Last");
    // The copy of the first paragraph holds a field that is never closed in it.
    Span paragraph = NodeSpan(*document, SpanKind::Paragraph, document->Body().first_child());
    Copy(*document, paragraph, clipboard);
    Span end = PointSpan(*document, {document->Body(), pugi::xml_node()});
    Paste(*document, end, clipboard);
    IndexedNames();
    // A copy of the paragraph around the text box adds no field of the story.
    pugi::xml_node boxHolder = document->Body().child("w:p").next_sibling().next_sibling().next_sibling();
    size_t before = document->Fields().Count();
    Span box = NodeSpan(*document, SpanKind::Paragraph, boxHolder);
    Copy(*document, box, clipboard);
    Span start = PointSpan(*document, {document->Body(), document->Body().first_child()});
    Paste(*document, start, clipboard);
    EXPECT_EQ(document->Fields().Count(), before);
    IndexedNames();
}

}  // namespace
}  // namespace word_test
