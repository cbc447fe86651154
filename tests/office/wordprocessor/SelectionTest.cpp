#include "tests/office/wordprocessor/WordFixture.h"

namespace word_test {
namespace {

class Selection : public WordFixture {
protected:
    ComPtr<IDispatch> Open(const std::string& body) {
        document = AddDocument(word.Get(), WriteTemplate(folder, "t.dotx", body).string());
        selection = Get(Get(document.Get(), u"ActiveWindow").Get(), u"Selection");
        return document;
    }
    void SelectField(const char16_t* name) {
        Call(Call(Get(document.Get(), u"FormFields").Get(), u"Item", {Var(name)}).Get(), u"Select");
    }

    ComPtr<IDispatch> document;
    ComPtr<IDispatch> selection;
};

TEST_F(Selection, RefusalsNameTheMemberAndLeaveTheDocumentAlone) {
    Open(Paragraph(TextField("A")));
    Outcome empty = TryCall(selection.Get(), u"Paste");
    EXPECT_EQ(empty.hr, DISP_E_EXCEPTION);
    EXPECT_NE(empty.description.find("clipboard is empty"), std::string::npos) << empty.description;
    EXPECT_EQ(TryCall(selection.Get(), u"GoTo", {Var(2), Var(1)}).hr, DISP_E_EXCEPTION);
    EXPECT_EQ(TryCall(selection.Get(), u"GoToNext", {Var(1)}).hr, DISP_E_EXCEPTION);
    EXPECT_EQ(TryCall(selection.Get(), u"EndOf", {Var(5)}).hr, DISP_E_EXCEPTION);
    EXPECT_EQ(TryCall(selection.Get(), u"Frobnicate").hr, DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ParagraphTexts(Show("Document1")), "\u2002\u2002\u2002\u2002\u2002");
}

TEST_F(Selection, ApplicationSelectionIsNothingWithoutADocument) {
    Var nothing = Invoke(word.Get(), u"Selection", DISPATCH_PROPERTYGET);
    EXPECT_EQ(nothing.value.vt, VT_DISPATCH);
    EXPECT_EQ(nothing.value.pdispVal, nullptr);
}

TEST_F(Selection, SelectedFieldTextAndEndOfParagraph) {
    Open(Paragraph(TextRun("ab") + TextField("A", "xyz")) + Paragraph(TextRun("next")));
    SelectField(u"A");
    EXPECT_EQ(GetText(selection.Get(), u"Text"), "xyz");
    EXPECT_EQ(GetInt(selection.Get(), u"EndOf", {Var(4)}), 6);  // "abxyz" and the paragraph mark
    Put(selection.Get(), u"Text", Var(u"Start "));
    EXPECT_EQ(ParagraphTexts(Show("Document1")), "abxyz|Start next");
}

TEST_F(Selection, PastingOverASelectionReplacesIt) {
    Open(Paragraph(TextRun("one ") + TextField("P")) + Paragraph(TextRun("two")) +
         Table({{TextField("R1")}, {TextField("R2")}}));
    SelectField(u"P");
    ComPtr<IDispatch> paragraph = Call(Get(selection.Get(), u"Paragraphs").Get(), u"Item", {Var(1)});
    Call(Get(paragraph.Get(), u"Range").Get(), u"Select");
    Call(selection.Get(), u"Copy");
    ComPtr<IDispatch> second = Call(Get(document.Get(), u"FormFields").Get(), u"Item", {Var(u"R2")});
    Call(second.Get(), u"Select");
    ComPtr<IDispatch> staleRange = Get(selection.Get(), u"Range");
    // Rows are pasted above the row holding the insertion point.
    SelectField(u"R1");
    Call(selection.Get(), u"SelectRow");
    Call(selection.Get(), u"Copy");
    SelectField(u"R2");
    Call(selection.Get(), u"SelectRow");
    Call(selection.Get(), u"Paste");  // replaces the R2 row by a copy of R1
    EXPECT_EQ(FieldNames(document.Get()), "P,R1,R1");
    EXPECT_EQ(TryCall(second.Get(), u"Select").hr, DISP_E_EXCEPTION);
    EXPECT_EQ(TryCall(staleRange.Get(), u"Select").hr, DISP_E_EXCEPTION);
    Call(selection.Get(), u"GoTo", {Var(1), Var(1)});
    Call(selection.Get(), u"Paste");  // rows outside a table make a new table
    EXPECT_EQ(FieldNames(document.Get()), "R1,P,R1,R1");
    std::string xml = Show("Document1");
    EXPECT_EQ(CountOf(xml, "<w:tbl>"), 2u);
    EXPECT_EQ(CountOf(xml, "<w:tblGrid>"), 2u);
}

TEST_F(Selection, FieldsOfTextBoxesAreNotInTheMainStory) {
    Open(Paragraph(TextField("Main")) + "<w:p><w:r><w:pict><w:txbxContent>" + Paragraph(TextField("Boxed")) +
         "</w:txbxContent></w:pict></w:r></w:p>");
    EXPECT_EQ(FieldNames(document.Get()), "Main");
}

}  // namespace
}  // namespace word_test
