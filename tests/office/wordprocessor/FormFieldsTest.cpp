#include "tests/office/wordprocessor/WordFixture.h"

namespace word_test {
namespace {

class FormFields : public WordFixture {};

TEST_F(FormFields, WordMadeSamplesListEveryFieldInDocumentOrderWithItsType) {
    ComPtr<IDispatch> document = AddDocument(word.Get(), SamplePath("poi-form_footnotes.docx"));
    ComPtr<IDispatch> fields = Get(document.Get(), u"FormFields");
    ASSERT_EQ(GetInt(fields.Get(), u"Count"), 69);
    int text = 0, check = 0;
    for (int i = 1; i <= 69; ++i) {
        LONG type = GetInt(Call(fields.Get(), u"Item", {Var(i)}).Get(), u"Type");
        text += type == 70;
        check += type == 71;
    }
    EXPECT_EQ(text, 40);
    EXPECT_EQ(check, 29);
    // Every text field there sits in a table row.
    ComPtr<IDispatch> first = Call(fields.Get(), u"Item", {Var(u"text42")});
    EXPECT_EQ(GetText(first.Get(), u"Name"), "Text42");
    Call(first.Get(), u"Select");
    ComPtr<IDispatch> selection = Get(Get(document.Get(), u"ActiveWindow").Get(), u"Selection");
    EXPECT_EQ(GetInt(Get(Get(selection.Get(), u"Range").Get(), u"Tables").Get(), u"Count"), 1);

    ComPtr<IDispatch> legacy = AddDocument(word.Get(), SamplePath("docx4j-LegacyForms.docx"));
    EXPECT_EQ(FieldNames(legacy.Get()), "Text1,Check1,Dropdown1");
    ComPtr<IDispatch> legacyFields = Get(legacy.Get(), u"FormFields");
    EXPECT_EQ(GetInt(Call(legacyFields.Get(), u"Item", {Var(3)}).Get(), u"Type"), 83);

    ComPtr<IDispatch> german = AddDocument(word.Get(), SamplePath("poi-stress005.docx"));
    ComPtr<IDispatch> germanFields = Get(german.Get(), u"FormFields");
    EXPECT_EQ(GetInt(germanFields.Get(), u"Count"), 65);
    ComPtr<IDispatch> box = Call(germanFields.Get(), u"Item", {Var(u"KONTROLLKÄSTCHEN1")});
    EXPECT_EQ(GetText(box.Get(), u"Name"), "Kontrollkästchen1");
    EXPECT_EQ(GetInt(box.Get(), u"Type"), 71);
}

TEST_F(FormFields, FieldsInRowsEmptyAndRepeatedNamesAreFoundByIndexAndName) {
    const std::string body = Paragraph(TextRun("Head ") + TextField("Alpha")) +
                             Table({{TextField("Row1"), TextField("") + CheckBox("Box", false)},
                                    {TextField("alpha"), DropDown("List", {"a", "b"})}}) +
                             Paragraph(TextField("Omega"));
    auto path = WriteTemplate(folder, "fields.dotx", body);
    ComPtr<IDispatch> document = AddDocument(word.Get(), path.string());
    EXPECT_EQ(FieldNames(document.Get()), "Alpha,Row1,,Box,alpha,List,Omega");
    ComPtr<IDispatch> fields = Get(document.Get(), u"FormFields");
    // The first of the repeated names (compared without case) wins.
    ComPtr<IDispatch> alpha = Call(fields.Get(), u"Item", {Var(u"ALPHA")});
    EXPECT_EQ(GetText(alpha.Get(), u"Name"), "Alpha");
    Call(alpha.Get(), u"Select");
    ComPtr<IDispatch> selection = Get(Get(document.Get(), u"ActiveWindow").Get(), u"Selection");
    EXPECT_EQ(GetInt(Get(Get(selection.Get(), u"Range").Get(), u"Tables").Get(), u"Count"), 0);
    EXPECT_EQ(TryCall(selection.Get(), u"SelectRow").hr, DISP_E_EXCEPTION);

    Call(Call(fields.Get(), u"Item", {Var(u"List")}).Get(), u"Select");
    Call(selection.Get(), u"SelectRow");
    ComPtr<IDispatch> rowFields = Get(selection.Get(), u"FormFields");
    EXPECT_EQ(GetInt(rowFields.Get(), u"count"), 2);
    EXPECT_EQ(GetText(Call(rowFields.Get(), u"Item", {Var(1)}).Get(), u"Name"), "alpha");

    Outcome missing = TryCall(fields.Get(), u"Item", {Var(u"Nope")});
    EXPECT_EQ(missing.hr, DISP_E_EXCEPTION);
    EXPECT_NE(missing.description.find("Nope"), std::string::npos);
    EXPECT_EQ(TryCall(fields.Get(), u"Item", {Var(8)}).hr, DISP_E_EXCEPTION);
    EXPECT_EQ(TryCall(fields.Get(), u"Item", {Var(0)}).hr, DISP_E_EXCEPTION);
}

TEST_F(FormFields, ReplacedFieldsLeaveTheCollectionAndOldReferencesAreRefused) {
    auto path = WriteTemplate(folder, "three.dotx", Paragraph(TextField("A") + TextField("B") + TextField("C")));
    ComPtr<IDispatch> document = AddDocument(word.Get(), path.string());
    ComPtr<IDispatch> fields = Get(document.Get(), u"FormFields");
    ComPtr<IDispatch> selection = Get(Get(document.Get(), u"ActiveWindow").Get(), u"Selection");
    ComPtr<IDispatch> b = Call(fields.Get(), u"Item", {Var(2)});
    Call(b.Get(), u"Select");
    Put(selection.Get(), u"Text", Var(u"x"));
    EXPECT_EQ(GetInt(fields.Get(), u"Count"), 2);
    EXPECT_EQ(GetText(Call(fields.Get(), u"Item", {Var(2)}).Get(), u"Name"), "C");
    EXPECT_EQ(TryCall(b.Get(), u"Select").hr, DISP_E_EXCEPTION);
    EXPECT_EQ(TryCall(fields.Get(), u"Item", {Var(u"B")}).hr, DISP_E_EXCEPTION);
}

}  // namespace
}  // namespace word_test
