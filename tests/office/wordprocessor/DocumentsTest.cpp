#include "office/package/ContentTypes.h"
#include "office/package/Package.h"
#include "office/package/Properties.h"
#include "tests/office/wordprocessor/WordFixture.h"
#include "tests/support/ZipOfParts.h"

#include <fstream>
#include <set>

namespace word_test {
namespace {

class Documents : public WordFixture {};

const char kDocumentType[] = "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml";

TEST_F(Documents, NewDocumentsAreNumberedTurnedIntoDocumentsAndShownOnce) {
    auto path = WriteTemplate(folder, "form.dotx", Paragraph(TextField("A")));
    ComPtr<IDispatch> first = AddDocument(word.Get(), path.string());
    ComPtr<IDispatch> second = AddDocument(word.Get(), path.string());
    EXPECT_EQ(GetText(first.Get(), u"Name"), "Document1");
    EXPECT_EQ(GetText(second.Get(), u"Name"), "Document2");
    EXPECT_EQ(GetText(Get(first.Get(), u"AttachedTemplate").Get(), u"Name"), "form.dotx");
    Put(first.Get(), u"AttachedTemplate", Var(u""));
    EXPECT_EQ(GetText(Get(first.Get(), u"AttachedTemplate").Get(), u"Name"), "Normal.dotm");

    EXPECT_EQ(WrittenFiles(), 0u);
    Show("Document1");
    EXPECT_EQ(printed, (output / "Document1.docx").string() + "\n" + (output / "Document2.docx").string() + "\n");
    Put(word.Get(), u"Visible", Var(1));
    EXPECT_EQ(WrittenFiles(), 2u);

    office::Package detached = office::Package::Open(output / "Document1.docx");
    EXPECT_EQ(office::ContentTypes(detached).TypeOf("word/document.xml"), kDocumentType);
    EXPECT_EQ(CountOf(detached.Part("word/settings.xml"), "attachedTemplate"), 0u);
    EXPECT_EQ(office::AppProperty(detached, "Template"), "Normal.dotm");
    EXPECT_EQ(office::CoreProperty(detached, "cp:revision"), "1");
    EXPECT_EQ(office::CoreProperty(detached, "dc:title"), "Test form");

    office::Package attached = office::Package::Open(output / "Document2.docx");
    EXPECT_EQ(CountOf(attached.Part("word/settings.xml"), "<w:attachedTemplate r:id="), 1u);
    EXPECT_EQ(office::AppProperty(attached, "Template"), "form.dotx");
}

// Adding a document puts the earlier ones aside (their XML dropped until
// used again); one taken up again afterwards loses none of its work.
TEST_F(Documents, EarlierDocumentsPutAsideKeepTheirWorkAndCanBeFilledFurther) {
    auto path = WriteTemplate(folder, "form.dotx",
                              Paragraph(TextField("A")) + Table({{TextField("Pos")}}) + Paragraph(TextField("B")));
    ComPtr<IDispatch> first = AddDocument(word.Get(), path.string());
    ComPtr<IDispatch> selection = Get(Get(first.Get(), u"ActiveWindow").Get(), u"Selection");
    ComPtr<IDispatch> fieldA = Call(Get(first.Get(), u"FormFields").Get(), u"Item", {Var(u"A")});
    Call(fieldA.Get(), u"Select");
    Put(selection.Get(), u"Text", Var(u"alpha"));
    ComPtr<IDispatch> range = Get(selection.Get(), u"Range");
    AddDocument(word.Get(), path.string());

    // What pointed into the dropped XML is refused, not followed.
    Outcome stale = TryCall(fieldA.Get(), u"Select");
    EXPECT_EQ(stale.hr, DISP_E_EXCEPTION);
    EXPECT_NE(stale.description.find("no longer in Document1"), std::string::npos) << stale.description;
    EXPECT_EQ(TryGet(range.Get(), u"Text").hr, DISP_E_EXCEPTION);
    // The selection starts again at the document's start.
    EXPECT_EQ(GetInt(Get(Get(selection.Get(), u"Range").Get(), u"Tables").Get(), u"Count"), 0);

    ComPtr<IDispatch> fields = Get(first.Get(), u"FormFields");
    EXPECT_EQ(GetInt(fields.Get(), u"Count"), 2);
    EXPECT_EQ(GetText(Call(fields.Get(), u"Item", {Var(u"Pos")}).Get(), u"Result"), "\u2002\u2002\u2002\u2002\u2002");
    Call(Call(fields.Get(), u"Item", {Var(u"B")}).Get(), u"Select");
    Put(selection.Get(), u"Text", Var(u"beta"));
    AddDocument(word.Get(), path.string());
    Call(Call(Get(first.Get(), u"FormFields").Get(), u"Item", {Var(u"Pos")}).Get(), u"Select");
    Call(selection.Get(), u"SelectRow");
    Call(selection.Get(), u"Copy");
    Call(selection.Get(), u"Paste");  // in place of the selected row
    Call(selection.Get(), u"Paste");  // after it

    const std::string main = Show("Document1");
    EXPECT_EQ(WrittenFiles(), 3u);
    EXPECT_NE(main.find("alpha"), std::string::npos);
    EXPECT_NE(main.find("beta"), std::string::npos);
    EXPECT_EQ(CountOf(main, "<w:tr>") + CountOf(main, "<w:tr "), 2u);
    EXPECT_EQ(CountOf(ReadMain(output, "Document2"), "alpha"), 0u);
}

TEST_F(Documents, ADocumentThatCannotBeWrittenCostsNoOtherAndIsNamed) {
    auto good = WriteTemplate(folder, "form.dotx", Paragraph(TextField("A")));
    // An untouched part with an undeclared prefix fails the written-part check.
    office::Package source = office::Package::Open(good);
    Parts parts;
    for (const std::string& name : source.PartNames()) parts.emplace_back(name, source.Part(name));
    parts.emplace_back("word/custom.xml", "<x:a/>");
    const auto bad = folder / "bad.dotx";
    std::ofstream(bad, std::ios::binary) << ZipOfParts(parts);

    AddDocument(word.Get(), good.string());
    AddDocument(word.Get(), bad.string());
    AddDocument(word.Get(), good.string());
    ::testing::internal::CaptureStdout();
    Outcome shown = TryPut(word.Get(), u"Visible", Var(1));
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(shown.hr, DISP_E_EXCEPTION);
    EXPECT_NE(shown.description.find("Document2 could not be written"), std::string::npos) << shown.description;
    EXPECT_TRUE(std::filesystem::exists(output / "Document1.docx"));
    EXPECT_TRUE(std::filesystem::exists(output / "Document3.docx"));
    // Shown again, the failed one fails again and nothing is written twice.
    EXPECT_EQ(TryCall(word.Get(), u"Quit", {Var(-1)}).hr, DISP_E_EXCEPTION);
    EXPECT_EQ(WrittenFiles(), 2u);
}

TEST_F(Documents, MacrosOfATemplateStayBehind) {
    auto path = WriteTemplate(folder, "macro.dotm", Paragraph(TextField("A")), Kind::Dotm);
    AddDocument(word.Get(), path.string());
    Show("Document1");
    office::Package package = office::Package::Open(output / "Document1.docx");
    EXPECT_FALSE(package.HasPart("word/vbaProject.bin"));
    EXPECT_FALSE(package.HasPart("word/vbaData.xml"));
    EXPECT_EQ(CountOf(package.Part("word/_rels/document.xml.rels"), "vbaProject"), 0u);
    EXPECT_EQ(CountOf(package.Part("[Content_Types].xml"), "vba"), 0u);
    EXPECT_EQ(office::ContentTypes(package).TypeOf("word/document.xml"), kDocumentType);
}

TEST_F(Documents, UntouchedPartsComeBackUnchanged) {
    const auto sample = SharedDir() / "samples" / "poi-test.dotx";
    office::Package source = office::Package::Open(sample);
    BuildDocument(word.Get(), sample.string(), {});
    const auto docx = SharedDir() / "samples" / "docx4j-LegacyForms.docx";
    AddDocument(word.Get(), docx.string());
    Show("Document1");

    const std::set<std::string> changed = {"[Content_Types].xml", "docProps/core.xml", "docProps/app.xml",
                                           "word/settings.xml", "word/_rels/settings.xml.rels"};
    office::Package made = office::Package::Open(output / "Document1.docx");
    for (const std::string& name : source.PartNames()) {
        if (changed.count(name)) continue;
        EXPECT_EQ(made.Part(name), source.Part(name)) << name;
    }
    // A document opened and shown without any change: only the core properties differ.
    office::Package original = office::Package::Open(docx);
    office::Package same = office::Package::Open(output / "Document2.docx");
    EXPECT_EQ(same.PartNames(), original.PartNames());
    for (const std::string& name : original.PartNames()) {
        if (name == "docProps/core.xml") continue;
        EXPECT_EQ(same.Part(name), original.Part(name)) << name;
    }
}

TEST_F(Documents, BadTemplatesAreRefusedNamingFileAndReasonAndNothingIsWritten) {
    auto write = [&](const std::string& name, const std::string& bytes) {
        std::ofstream(folder / name, std::ios::binary) << bytes;
        return (folder / name).string();
    };
    std::string ole("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    ole.resize(2048, '\0');
    const std::vector<std::pair<std::string, std::string>> cases = {
        {(folder / "missing.dotx").string(), "does not exist"},
        {write("text.dotx", "just text"), "not a zip"},
        {write("old.doc", ole), "only OOXML templates"},
        {write("escape.dotx", ZipOfParts({{"[Content_Types].xml", "<Types/>"}, {"../x", "x"}})), "leaves the package"},
        {write("bomb.dotx", BombZipOfParts({{"[Content_Types].xml", "<Types/>"}}, "word/document.xml", 64u << 20)),
         "zip bomb"},
        {(SharedDir() / "samples" / "poi-test.xltx").string(), "not a WordprocessingML"},
    };
    for (const auto& [path, reason] : cases) {
        SCOPED_TRACE(path);
        std::u16string wide(path.begin(), path.end());
        Outcome outcome = TryCall(Get(word.Get(), u"Documents").Get(), u"Add", {Var(wide.c_str())});
        EXPECT_EQ(outcome.hr, DISP_E_EXCEPTION);
        EXPECT_NE(outcome.description.find(path), std::string::npos) << outcome.description;
        EXPECT_NE(outcome.description.find(reason), std::string::npos) << outcome.description << " / " << reason;
    }
    EXPECT_EQ(GetInt(Get(word.Get(), u"Documents").Get(), u"Count"), 0);
    Put(word.Get(), u"Visible", Var(1));
    EXPECT_EQ(WrittenFiles(), 0u);
}

TEST_F(Documents, QuitWritesNothingAndWindowStateIsKept) {
    auto path = WriteTemplate(folder, "form.dotx", Paragraph(TextField("A")));
    AddDocument(word.Get(), path.string());
    EXPECT_EQ(GetInt(word.Get(), u"WindowState"), 0);
    Put(word.Get(), u"WindowState", Var(2));
    EXPECT_EQ(GetInt(word.Get(), u"WindowState"), 2);
    EXPECT_EQ(TryPut(word.Get(), u"WindowState", Var(7)).hr, DISP_E_EXCEPTION);
    Call(word.Get(), u"Activate");
    Invoke(word.Get(), u"Quit", DISPATCH_METHOD, {Var(0)});
    Put(word.Get(), u"Visible", Var(1));
    EXPECT_EQ(WrittenFiles(), 0u);
    EXPECT_EQ(GetInt(Get(word.Get(), u"Documents").Get(), u"Count"), 0);
}

TEST_F(Documents, QuitAskedToSaveWritesTheDocumentsInsteadOfLosingThem) {
    auto path = WriteTemplate(folder, "form.dotx", Paragraph(TextField("A")));
    AddDocument(word.Get(), path.string());
    ::testing::internal::CaptureStdout();
    Invoke(word.Get(), u"Quit", DISPATCH_METHOD, {Var(-1)});
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), (output / "Document1.docx").string() + "\n");
    EXPECT_EQ(WrittenFiles(), 1u);
}

}  // namespace
}  // namespace word_test
