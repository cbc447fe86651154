// Writes documents made by the word processor into a folder, with the
// paragraph texts each must show, for checks by independent readers:
//   write_documents_for_readers <output folder>
// The folder gets Document1.docx ... and expected.txt: one block per
// document, "== <file>" followed by its expected paragraph texts in order.
#include "office/dispatch/Utf8.h"
#include "tests/office/wordprocessor/FillDriver.h"
#include "tests/office/wordprocessor/TemplateBuilder.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

using namespace word_test;

namespace {

struct Expectation {
    std::string file;
    std::vector<std::string> paragraphs;
};

std::vector<FieldData> NumberedValues(const std::vector<std::string>& names, int perName) {
    std::vector<FieldData> fields;
    for (const auto& name : names) {
        FieldData field{name, 1, {}, false};
        for (int k = 1; k <= perName; ++k) field.values.push_back(name + "#" + std::to_string(k));
        fields.push_back(field);
    }
    return fields;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path output = argv[1];
    std::filesystem::create_directories(output);
    setenv("TOLVANE_OUTPUT_DIR", output.c_str(), 1);
    setenv("TOLVANE_OPEN", "0", 1);
    const std::filesystem::path shared = SharedDir();
    const std::filesystem::path scratch = MakeTempFolder();
    const std::string invoice = (shared / "examples" / "invoice.dotx").string();
    std::vector<Expectation> expected;
    {
        ComPtr<IDispatch> word = StartWord();
        BuildDocument(word.Get(), invoice,
                      {{"InvoiceNo", 1, {"2024-0117"}},
                       {"InvoiceDate", 1, {"15 March 2024"}},
                       {"Name", 1, {"Harbour Lights Ltd"}},
                       {"Pos", 3, {"1", "2", "3"}},
                       {"Description", 3, {"Oak shelf, 80 cm", "Wall brackets (set of 4)", "Screws & wall plugs <6 mm>"}},
                       {"Quantity", 3, {"2", "4", "1"}},
                       {"Total", 1, {"123.20"}},
                       {"Note", 2, {"Delivered on one pallet.", "Zoë pays in €."}}});
        expected.push_back({"Document1.docx",
                            {"Invoice 2024-0117 of 15 March 2024", "Harbour Lights Ltd", "", "", "Pos", "1",
                             "Oak shelf, 80 cm", "2", "2", "Wall brackets (set of 4)", "4", "3",
                             "Screws & wall plugs <6 mm>", "1", "Total: 123.20", "Note: Delivered on one pallet.",
                             "Note: Zoë pays in €.", "Thank you for your order."}});

        const std::string body =
            Paragraph(TextRun("Text: ") + TextField("Text")) + Table({{TextField("Cell"), CheckBox("Box", true)}}) +
            Paragraph(TextRun("[") + TextField("Blank") + TextRun("]")) + Paragraph(DropDown("Pick", {"one", "two"}));
        auto built = WriteTemplate(scratch, "built.dotx", body);
        BuildDocument(word.Get(), built.string(),
                      {{"Text", 1, {"a < b & \"c\"\nsecond\tline"}}, {"Cell", 2, {"x", "y"}}, {"Blank", 1, {" "}}});
        expected.push_back({"Document2.docx", {"Text: a < b & \"c\"", "second\tline", "x", "y", "[ ]"}});

        const std::vector<std::string> samples = {"poi-form_footnotes.docx", "poi-stress005.docx",
                                                  "docx4j-LegacyForms.docx", "poi-checkboxes.docx", "poi-test.dotx"};
        std::vector<std::string> names;
        for (int i = 1; i <= 45; ++i) names.push_back("Text" + std::to_string(i));
        int number = 3;
        for (const auto& sample : samples) {
            BuildDocument(word.Get(), (shared / "samples" / sample).string(), NumberedValues(names, 12));
            expected.push_back({"Document" + std::to_string(number++) + ".docx", {}});
        }
        expected[2].paragraphs = {"Text2#1"};
        expected[3].paragraphs = {"Text1#1", "Text1#2"};
        expected[4].paragraphs = {"Text form field Text1#1"};
        // An unchanged document, shown as it came.
        AddDocument(word.Get(), (shared / "samples" / "docx4j-LegacyForms.docx").string());
        expected.push_back({"Document" + std::to_string(number) + ".docx", {}});

        Put(word.Get(), u"Visible", Var(1));
        Invoke(word.Get(), u"Quit", DISPATCH_METHOD, {Var(0)});
    }
    CoUninitialize();
    std::filesystem::remove_all(scratch);
    std::ofstream list(output / "expected.txt");
    for (const auto& document : expected) {
        list << "== " << document.file << "\n";
        for (const auto& paragraph : document.paragraphs) {
            std::string escaped;
            for (char c : paragraph) escaped += c == '\t' ? std::string("\\t") : std::string(1, c);
            list << escaped << "\n";
        }
    }
    return 0;
}
