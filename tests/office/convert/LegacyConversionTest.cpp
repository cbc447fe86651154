#include "office/convert/LegacyConversion.h"

#include "office/package/PackageError.h"
#include "tests/office/convert/CompoundFile.h"
#include "tests/office/convert/ConverterFixture.h"

#include <chrono>

namespace {

using office::LegacyKind;
using office::OoxmlTemplateFor;

TEST_F(ConverterFixture, ConvertedOnceIntoTheCacheWithAPrivateProfileAndAgainWhenTheFileChanges) {
    const fs::path dot = folder / "order.dot";
    WriteFile(dot, BinaryWordFile());
    const fs::path converted = OoxmlTemplateFor(dot, LegacyKind::Text);
    EXPECT_EQ(converted.parent_path(), cache / "tolvane");
    EXPECT_EQ(converted.extension(), ".dotx");
    EXPECT_EQ(Read(converted), "converted template.dot");
    ASSERT_EQ(Calls().size(), 1u);
    const std::string call = Calls()[0];
    EXPECT_NE(call.find("-env:UserInstallation=file://" + (cache / "tolvane").string() + "/convert-"), std::string::npos)
        << call;
    EXPECT_NE(call.find("--headless"), std::string::npos);
    EXPECT_NE(call.find("--convert-to dotx:MS Word 2007 XML Template"), std::string::npos) << call;
    // The user's path never reaches the converter, only a copy under a plain name.
    EXPECT_EQ(call.find(dot.string()), std::string::npos) << call;

    EXPECT_EQ(OoxmlTemplateFor(dot, LegacyKind::Text), converted);
    EXPECT_EQ(Calls().size(), 1u);

    fs::last_write_time(dot, fs::last_write_time(dot) + std::chrono::seconds(5));
    const fs::path again = OoxmlTemplateFor(dot, LegacyKind::Text);
    EXPECT_NE(again, converted);
    EXPECT_EQ(Calls().size(), 2u);
    // Only the copy of the current version is kept; no work folder stays behind.
    std::vector<fs::path> kept(fs::directory_iterator(cache / "tolvane"), {});
    EXPECT_EQ(kept, std::vector<fs::path>{again});
    EXPECT_EQ(fs::status(cache / "tolvane").permissions() & fs::perms::all, fs::perms::owner_all);

    const fs::path xls = folder / "figures.xls";
    WriteFile(xls, BinaryExcelFile());
    EXPECT_EQ(OoxmlTemplateFor(xls, LegacyKind::Spreadsheet).extension(), ".xlsx");
    EXPECT_NE(Calls().back().find("--convert-to xlsx:Calc MS Excel 2007 XML "), std::string::npos) << Calls().back();
}

TEST_F(ConverterFixture, OoxmlAndUnknownFilesAreReadAsTheyAre) {
    const fs::path dotx = folder / "form.dotx";
    WriteFile(dotx, "PK\x03\x04 not an OpenDocument");
    EXPECT_EQ(OoxmlTemplateFor(dotx, LegacyKind::Text), dotx);
    EXPECT_EQ(OoxmlTemplateFor(folder / "missing.doc", LegacyKind::Text), folder / "missing.doc");
    EXPECT_TRUE(Calls().empty());
}

TEST_F(ConverterFixture, RefusalsNameTheFileTheFormatAndWhatToDo) {
    const fs::path doc = folder / "letter.doc";
    const fs::path xlt = folder / "sales.xlt";
    WriteFile(doc, BinaryWordFile());
    WriteFile(xlt, BinaryExcelFile());

    std::string text = Refusal(xlt, LegacyKind::Text);
    EXPECT_NE(text.find(xlt.string()), std::string::npos) << text;
    EXPECT_NE(text.find("binary Excel file (.xls/.xlt), not a word-processor template"), std::string::npos) << text;

    setenv("FAKE_MODE", "fail", 1);
    text = Refusal(doc, LegacyKind::Text);
    EXPECT_NE(text.find("LibreOffice did not convert it (exit code 1): Error: source file could not be loaded"),
              std::string::npos)
        << text;

    setenv("FAKE_MODE", "hang", 1);
    setenv("TOLVANE_CONVERT_TIMEOUT", "1", 1);
    const auto start = std::chrono::steady_clock::now();
    text = Refusal(doc, LegacyKind::Text);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    EXPECT_NE(text.find("did not convert it within 1 seconds"), std::string::npos) << text;

    WithoutConverter();
    text = Refusal(doc, LegacyKind::Text);
    EXPECT_NE(text.find("'" + doc.string() + "' (a binary Word file (.doc/.dot))"), std::string::npos) << text;
    EXPECT_NE(text.find("install the package libreoffice-writer-nogui"), std::string::npos) << text;
    text = Refusal(xlt, LegacyKind::Spreadsheet);
    EXPECT_NE(text.find("install the package libreoffice-calc-nogui"), std::string::npos) << text;

    // Nothing failed into the cache.
    EXPECT_TRUE(fs::is_empty(cache / "tolvane"));
}

}  // namespace
