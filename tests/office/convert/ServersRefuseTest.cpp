#include "office/spreadsheet/Registration.h"
#include "office/wordprocessor/Registration.h"
#include "tests/office/convert/ConverterFixture.h"
#include "tests/support/DispatchDriver.h"

namespace {

using namespace dispatch_test;

class ServersConvert : public ConverterFixture {
protected:
    void SetUp() override {
        ConverterFixture::SetUp();
        CoInitialize(nullptr);
        RegisterWordProcessorServer();
        RegisterSpreadsheetServer();
        word = CreateServer(u"Word.Application");
        excel = CreateServer(u"Excel.Application");
    }
    void TearDown() override {
        word = nullptr;
        excel = nullptr;
        CoUninitialize();
        ConverterFixture::TearDown();
    }

    Outcome AddDocument(const fs::path& file) {
        return TryCall(Get(word.Get(), u"Documents").Get(), u"Add", {Var(file.c_str())});
    }
    Outcome AddWorkbook(const fs::path& file) {
        return TryCall(Get(excel.Get(), u"Workbooks").Get(), u"Add", {Var(file.c_str())});
    }
    static fs::path Example(const char* name) { return fs::path(std::getenv("TOLVANE_SOURCE_DIR")) / "examples" / name; }

    ComPtr<IDispatch> word;
    ComPtr<IDispatch> excel;
};

TEST_F(ServersConvert, WithoutLibreOfficeTheRefusalNamesTheFormatAndThePackage) {
    WithoutConverter();
    const fs::path doc = folder / "letter.doc";
    const fs::path xlt = folder / "sales.xlt";
    WriteFile(doc, BinaryWordFile());
    WriteFile(xlt, BinaryExcelFile());
    const struct {
        Outcome outcome;
        std::vector<std::string> named;
    } cases[] = {
        {AddDocument(doc), {doc.string(), "binary Word file (.doc/.dot)", "install the package libreoffice-writer-nogui"}},
        {AddWorkbook(xlt), {xlt.string(), "binary Excel file (.xls/.xlt)", "install the package libreoffice-calc-nogui"}},
        {AddDocument(xlt), {xlt.string(), "not a word-processor template"}},
        {AddWorkbook(doc), {doc.string(), "not a spreadsheet template"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.outcome.hr, DISP_E_EXCEPTION);
        for (const std::string& text : c.named) {
            EXPECT_NE(c.outcome.description.find(text), std::string::npos) << c.outcome.description << " / " << text;
        }
    }
    EXPECT_EQ(GetInt(Get(word.Get(), u"Documents").Get(), u"Count"), 0);
    EXPECT_EQ(GetInt(Get(excel.Get(), u"Workbooks").Get(), u"Count"), 0);
}

// The converted copy is read, but the document still belongs to the template the user named.
TEST_F(ServersConvert, TheConvertedCopyIsReadUnderTheTemplatesOwnName) {
    setenv("FAKE_MODE", "copy", 1);
    const fs::path dot = folder / "order.dot";
    WriteFile(dot, BinaryWordFile());
    setenv("FAKE_RESULT", Example("invoice.dotx").c_str(), 1);
    ComPtr<IDispatch> document = Call(Get(word.Get(), u"Documents").Get(), u"Add", {Var(dot.c_str())});
    EXPECT_EQ(GetText(Get(document.Get(), u"AttachedTemplate").Get(), u"Name"), "order.dot");
    EXPECT_GT(GetInt(Get(document.Get(), u"FormFields").Get(), u"Count"), 0);

    const fs::path xlt = folder / "figures.xlt";
    WriteFile(xlt, BinaryExcelFile());
    setenv("FAKE_RESULT", Example("sales.xltx").c_str(), 1);
    ComPtr<IDispatch> workbook = Call(Get(excel.Get(), u"Workbooks").Get(), u"Add", {Var(xlt.c_str())});
    EXPECT_EQ(GetText(workbook.Get(), u"Name"), "figures1");
    EXPECT_EQ(Calls().size(), 2u);
}

}  // namespace
