// The spreadsheet server driven through IDispatch as the program drives it:
// a workbook from the template, its names read and written, a block of rows
// inserted, a property added, the workbook shown (written).
#include <cstdlib>
#include <stdexcept>

#include "fuzz/PartList.h"
#include "office/spreadsheet/Registration.h"
#include "tests/support/DispatchDriver.h"

using namespace dispatch_test;

namespace {

constexpr int kShiftDown = -4121;

void Fill(IDispatch* excel, const std::string& path) {
    Put(excel, u"Visible", Var(false));
    ComPtr<IDispatch> book = Call(Get(excel, u"Workbooks").Get(), u"Add", {Var(path.c_str())});
    if (!book) return;
    GetText(book.Get(), u"Name");
    Call(Get(book.Get(), u"CustomDocumentProperties").Get(), u"Add",
         {Var("Source"), Var(false), Var(4), Var("fuzz")});
    ComPtr<IDispatch> names = Get(book.Get(), u"Names");
    const LONG count = GetInt(names.Get(), u"Count");
    for (LONG i = 1; i <= count && i <= 20; ++i) {
        ComPtr<IDispatch> name = Call(names.Get(), u"Item", {Var(int(i))});
        GetText(name.Get(), u"Name");
        ComPtr<IDispatch> range = Get(name.Get(), u"RefersToRange");
        if (!range) continue;
        if (i % 2 == 0) {
            Call(Get(range.Get(), u"EntireRow").Get(), u"Copy");
            Call(Get(Get(range.Get(), u"Offset", {Var(1), Var(0)}).Get(), u"EntireRow").Get(), u"Insert",
                 {Var(kShiftDown)});
        }
        Put(range.Get(), u"Value", Var("12.5"));
    }
    Put(excel, u"Visible", Var(true));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = [] {
        CoInitialize(nullptr);
        RegisterSpreadsheetServer();
        // A refused call leaves an empty result, as the program's own checks would.
        ReportFailuresTo([](const std::string&) {});
        return true;
    }();
    (void)ready;
    const std::string zip = fuzz::ZipOfPartList(std::string_view(reinterpret_cast<const char*>(data), size));
    if (zip.empty()) return 0;
    const std::string path = fuzz::ScratchFile("template.xltx", zip);
    setenv("TOLVANE_OUTPUT_DIR", fuzz::EmptyOutputFolder().c_str(), 1);
    setenv("TOLVANE_OPEN", "0", 1);
    ComPtr<IDispatch> excel = CreateServer(u"Excel.Application");
    Fill(excel.Get(), path);
    Call(excel.Get(), u"Quit");
    return 0;
}
