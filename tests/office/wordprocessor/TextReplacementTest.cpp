#include "tests/office/wordprocessor/WordFixture.h"

#include <pugixml.hpp>

namespace word_test {
namespace {

class TextReplacement : public WordFixture {};

TEST_F(TextReplacement, ValuesReplaceFieldsAsPlainTextWithTheFieldsFormatting) {
    const std::string bold = "<w:rPr><w:b/></w:rPr>";
    const std::string body =
        Paragraph(TextField("Name", "\u2002\u2002\u2002\u2002\u2002", bold)) + Paragraph(TextField("Math")) +
        Paragraph(TextRun("[") + TextField("Empty") + TextRun("]")) + Paragraph(TextRun("[") + TextField("Space") + TextRun("]")) +
        Paragraph(CheckBox("Agree", true) + DropDown("Choice", {"x", "y"}));
    auto path = WriteTemplate(folder, "text.dotx", body);
    ComPtr<IDispatch> document = BuildDocument(
        word.Get(), path.string(),
        {{"Name", 1, {"Zoë Ærø – €5 漢字"}}, {"Math", 1, {"a < b & c > d"}}, {"Empty", 1, {""}}, {"Space", 1, {" "}}});
    // Check box and drop-down stay as they were.
    EXPECT_EQ(FieldNames(document.Get()), "Agree,Choice");
    std::string xml = Show("Document1");
    EXPECT_EQ(ParagraphTexts(xml), "Zoë Ærø – €5 漢字|a < b & c > d|[]|[ ]|");
    EXPECT_NE(xml.find("<w:r><w:rPr><w:b/></w:rPr><w:t>Zoë"), std::string::npos) << xml;
    EXPECT_NE(xml.find("a &lt; b &amp; c &gt; d"), std::string::npos);
    EXPECT_EQ(CountOf(xml, "FORMTEXT"), 0u);
    EXPECT_EQ(CountOf(xml, "FORMCHECKBOX"), 1u);
    EXPECT_EQ(CountOf(xml, "FORMDROPDOWN"), 1u);
    EXPECT_EQ(CountOf(xml, "w:name=\"Name\""), 0u);  // its bookmark went with it
}

TEST_F(TextReplacement, LineFeedsMakeParagraphsAndControlCharactersAreSafe) {
    const std::string body = Paragraph(TextRun("&lt;") + TextField("Lines") + TextRun("&gt;")) +
                             Table({{TextField("Cell")}}) + Paragraph(TextField("Marks"));
    auto path = WriteTemplate(folder, "lines.dotx", body);
    BuildDocument(word.Get(), path.string(),
                  {{"Lines", 1, {"one\ntwo\r\nthree\rfour"}},
                   {"Cell", 1, {"a\nb"}},
                   {"Marks", 1, {std::string("t\tv\vbell\x07 nul-free")}}});
    std::string xml = Show("Document1");
    EXPECT_EQ(ParagraphTexts(xml), "<one|two|three|four>|a|b|t\\tv\\vbell nul-free");
    EXPECT_EQ(CountOf(xml, "<w:tc>"), 1u);
}

TEST_F(TextReplacement, ASectionBreakStaysOnTheLastOfTheSplitParagraphs) {
    const std::string body = "<w:p><w:pPr><w:jc w:val=\"center\"/><w:sectPr/></w:pPr>" + TextField("A") + "</w:p>" +
                             Paragraph(TextRun("next section"));
    BuildDocument(word.Get(), WriteTemplate(folder, "section.dotx", body).string(), {{"A", 1, {"1\n2"}}});
    std::string xml = Show("Document1");
    EXPECT_EQ(ParagraphTexts(xml), "1|2|next section");
    EXPECT_EQ(CountOf(xml, "<w:jc w:val=\"center\"/>"), 2u);
    EXPECT_EQ(CountOf(xml, "<w:sectPr/>"), 1u);
    EXPECT_LT(xml.find("<w:t>1</w:t>"), xml.find("<w:sectPr/>"));
    EXPECT_LT(xml.find("<w:sectPr/>"), xml.find("<w:t>2</w:t>"));
}

TEST_F(TextReplacement, AFieldReplacedTakesItsOwnRunsAndNoOthers) {
    // Marks all in one run, marks in neighbouring runs with a run between
    // them, and a result that runs into the next paragraph.
    const std::string oneRun =
        "<w:r><w:fldChar w:fldCharType=\"begin\"><w:ffData><w:name w:val=\"One\"/><w:textInput/></w:ffData></w:fldChar>"
        "<w:instrText> FORMTEXT </w:instrText><w:fldChar w:fldCharType=\"separate\"/><w:t>old</w:t>"
        "<w:fldChar w:fldCharType=\"end\"/></w:r>";
    const std::string split =
        "<w:r><w:fldChar w:fldCharType=\"begin\"><w:ffData><w:name w:val=\"Two\"/><w:textInput/></w:ffData></w:fldChar></w:r>"
        "<w:r><w:instrText> FORMTEXT </w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"
        "<w:r><w:t>old</w:t></w:r>";
    const std::string body = Paragraph(TextRun("[") + oneRun + TextRun("] [") + TextField("Next") + TextRun("]")) +
                             Paragraph(split) +
                             Paragraph("<w:r><w:t>more</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r>" +
                                       TextRun(" tail"));
    BuildDocument(word.Get(), WriteTemplate(folder, "runs.dotx", body).string(),
                  {{"One", 1, {"1"}}, {"Next", 1, {"2\n2\t"}}, {"Two", 1, {"3"}}});
    std::string xml = Show("Document1");
    EXPECT_EQ(ParagraphTexts(xml), "[1] [2|2\\t]|3 tail");
    EXPECT_EQ(CountOf(xml, "fldChar"), 0u);
    // The result's proofing mark is not carried over to any run of the value.
    EXPECT_EQ(CountOf(xml, "noProof"), 0u);
    EXPECT_EQ(CountOf(xml, "<w:r><w:rPr/>"), 2u) << xml;
}

TEST_F(TextReplacement, CharactersXmlCannotHoldNeverReachTheFile) {
    auto path = WriteTemplate(folder, "odd.dotx", Paragraph(TextField("A")));
    ComPtr<IDispatch> document = AddDocument(word.Get(), path.string());
    ComPtr<IDispatch> selection = Get(Get(document.Get(), u"ActiveWindow").Get(), u"Selection");
    Call(Call(Get(document.Get(), u"FormFields").Get(), u"Item", {Var(1)}).Get(), u"Select");
    const char16_t odd[] = {u'a', 0xD800, u'b', 0xFFFF, u'c', 0x0001, u'd', 0};
    Put(selection.Get(), u"Text", Var(odd));
    std::string xml = Show("Document1");
    pugi::xml_document parsed;
    EXPECT_TRUE(parsed.load_string(xml.c_str()));
    EXPECT_EQ(ParagraphTexts(xml).substr(0, 1), "a");
    EXPECT_EQ(xml.find('\x01'), std::string::npos);
    EXPECT_EQ(xml.find("\xEF\xBF\xBF"), std::string::npos);
}

TEST_F(TextReplacement, TextPutAtTheInsertionPointIsInserted) {
    auto path = WriteTemplate(folder, "plain.dotx", Paragraph(TextRun("body")));
    ComPtr<IDispatch> document = AddDocument(word.Get(), path.string());
    ComPtr<IDispatch> selection = Get(Get(document.Get(), u"ActiveWindow").Get(), u"Selection");
    Call(selection.Get(), u"GoTo", {Var(1), Var(1)});
    Put(selection.Get(), u"Text", Var(u"start "));
    EXPECT_EQ(ParagraphTexts(Show("Document1")), "start body");
    EXPECT_EQ(TryCall(selection.Get(), u"Copy").hr, DISP_E_EXCEPTION);
}

}  // namespace
}  // namespace word_test
