// Template parts nested a million elements deep go through the program's
// whole sequence of calls without exhausting the stack.
#include "tests/office/wordprocessor/WordFixture.h"

#include "office/package/Package.h"

namespace word_test {
namespace {

constexpr size_t kDepth = 1000000;

std::string Repeated(const std::string& text, size_t times) {
    std::string out;
    out.reserve(text.size() * times);
    for (size_t i = 0; i < times; ++i) out += text;
    return out;
}

class DeepNesting : public WordFixture {};

TEST_F(DeepNesting, EveryPartNestedAMillionDeepIsFilledAndWritten) {
    // Tables nested in first cells, a field inside a deep custom-markup
    // nesting, and a repeated row.
    const std::string nestedTables = Repeated("<w:tbl><w:tr><w:tc>", kDepth / 3) + Paragraph(TextRun("inner")) +
                                     Repeated("</w:tc></w:tr></w:tbl><w:p/>", kDepth / 3);
    const std::string deepField = Repeated("<w:customXml w:element=\"x\">", kDepth) + Paragraph(TextField("Deep")) +
                                  Repeated("</w:customXml>", kDepth);
    const std::string body = nestedTables + deepField + Table({{TextField("Item")}}) + Paragraph(TextField("Note"));
    office::Package package = office::Package::Open(WriteTemplate(folder, "base.dotx", body));
    for (const std::string& name : package.PartNames()) {
        std::string xml = package.Part(name);
        xml.insert(xml.rfind("</"), "<x:a xmlns:x=\"urn:x\">" + Repeated("<x:a>", kDepth) +
                                        Repeated("</x:a>", kDepth + 1));
        package.SetPart(name, xml);
    }
    const std::filesystem::path path = folder / "deep.dotx";
    package.SaveAs(path);

    BuildDocument(word.Get(), path.string(),
                  {{"Deep", 1, {"deep value"}}, {"Item", 3, {"a", "b", "c"}}, {"Note", 1, {"note"}}});
    const std::string xml = Show("Document1");
    EXPECT_NE(xml.find("deep value"), std::string::npos);
    EXPECT_EQ(ParagraphTexts(xml).substr(ParagraphTexts(xml).rfind("deep value")), "deep value|a|b|c|note");
    EXPECT_EQ(CountOf(xml, "<x:a>"), kDepth - 1);  // the innermost one is written empty
}

}  // namespace
}  // namespace word_test
