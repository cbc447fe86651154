// The word processor driven through IDispatch as the program drives it: a
// document from the template, the row pass over repeated fields, the field
// pass, the template detached, the document shown (written).
#include <cstdlib>
#include <stdexcept>

#include "fuzz/PartList.h"
#include "tests/office/wordprocessor/FillDriver.h"

using namespace word_test;

namespace {

std::vector<FieldData> FieldsOf(IDispatch* word, const std::string& path) {
    std::vector<FieldData> fields;
    ComPtr<IDispatch> document = AddDocument(word, path);
    if (!document) return fields;
    ComPtr<IDispatch> formFields = Get(document.Get(), u"FormFields");
    const LONG count = GetInt(formFields.Get(), u"Count");
    for (LONG i = 1; i <= count && i <= 20; ++i) {
        const std::string name = GetText(Call(formFields.Get(), u"Item", {Var(int(i))}).Get(), u"Name");
        fields.push_back({name, i % 3 == 1 ? 2 : 1, {"first", "second"}});
    }
    Call(document.Get(), u"Close", {Var(false)});
    return fields;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string zip = fuzz::ZipOfPartList(std::string_view(reinterpret_cast<const char*>(data), size));
    if (zip.empty()) return 0;
    const std::string path = fuzz::ScratchFile("template.dotx", zip);
    setenv("TOLVANE_OUTPUT_DIR", fuzz::EmptyOutputFolder().c_str(), 1);
    setenv("TOLVANE_OPEN", "0", 1);
    ComPtr<IDispatch> word = StartWord();
    // The driver reports a refused call by throwing; the program would stop there too.
    try {
        BuildDocument(word.Get(), path, FieldsOf(word.Get(), path));
        Put(word.Get(), u"Visible", Var(true));
    } catch (const std::runtime_error&) {
    }
    TryCall(word.Get(), u"Quit", {Var(false)});
    return 0;
}
