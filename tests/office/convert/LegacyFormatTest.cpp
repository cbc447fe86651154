#include "office/convert/LegacyFormat.h"

#include "tests/office/convert/CompoundFile.h"
#include "tests/support/TestFolders.h"
#include "tests/support/ZipOfParts.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using office::DetectLegacyFormat;
using office::LegacyKind;

// The start of an OpenDocument package: a stored "mimetype" entry first.
std::string OpenDocument(const std::string& mimeType, unsigned method = 0) {
    std::string header("PK\x03\x04\x14\x00\x00\x00", 8);
    header += char(method);
    header += std::string(9, '\0');
    header += char(mimeType.size());
    header += std::string(7, '\0');
    header += char(8);
    header += std::string(3, '\0');
    return header + "mimetype" + mimeType + std::string(64, 'x');
}

class LegacyFormatTest : public ::testing::Test {
protected:
    void TearDown() override { std::filesystem::remove_all(folder); }

    office::LegacyFormat Detect(const std::string& name, const std::string& bytes) {
        WriteFile(folder / name, bytes);
        return DetectLegacyFormat(folder / name);
    }

    std::filesystem::path folder = MakeTempFolder();
};

TEST_F(LegacyFormatTest, OldFormatsAreKnownByTheirContent) {
    struct Case {
        const char* name;
        std::string bytes;
        LegacyKind kind;
        const char* extension;
        bool isTemplate;
    };
    const std::vector<Case> cases = {
        {"order.dot", BinaryWordFile(), LegacyKind::Text, "dot", true},
        {"order.doc", BinaryWordFile(), LegacyKind::Text, "doc", false},
        {"renamed.dotx", BinaryWordFile(), LegacyKind::Text, "doc", false},
        {"big-sectors.doc", CompoundFile({{"Root Entry", 5}, {"WordDocument", 2}}, 12), LegacyKind::Text, "doc", false},
        {"sales.xlt", BinaryExcelFile(), LegacyKind::Spreadsheet, "xlt", true},
        {"old.xls", CompoundFile({{"Root Entry", 5}, {"Book", 2}}), LegacyKind::Spreadsheet, "xls", false},
        {"letter.rtf", "{\\rtf1\\ansi Hello}", LegacyKind::Text, "rtf", false},
        {"a.odt", OpenDocument("application/vnd.oasis.opendocument.text"), LegacyKind::Text, "odt", false},
        {"a.ott", OpenDocument("application/vnd.oasis.opendocument.text-template"), LegacyKind::Text, "ott", true},
        {"a.ods", OpenDocument("application/vnd.oasis.opendocument.spreadsheet"), LegacyKind::Spreadsheet, "ods", false},
        {"named.xltx", OpenDocument("application/vnd.oasis.opendocument.spreadsheet-template"),
         LegacyKind::Spreadsheet, "ots", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const office::LegacyFormat format = Detect(c.name, c.bytes);
        EXPECT_EQ(format.kind, c.kind);
        EXPECT_EQ(format.extension, c.extension);
        EXPECT_EQ(format.isTemplate, c.isTemplate);
        EXPECT_FALSE(format.description.empty());
    }
}

TEST_F(LegacyFormatTest, EverythingElseIsLeftToThePackageReader) {
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"ooxml.dotx", ZipOfParts({{"[Content_Types].xml", "<Types/>"}, {"word/document.xml", "<w:document/>"}})},
        {"slides.odp", OpenDocument("application/vnd.oasis.opendocument.presentation")},
        {"deflated.odt", OpenDocument("application/vnd.oasis.opendocument.text", 8)},
        {"other-streams.doc", CompoundFile({{"Root Entry", 5}, {"PowerPoint Document", 2}})},
        // A storage of that name is no Word stream.
        {"storage.doc", CompoundFile({{"Root Entry", 5}, {"WordDocument", 1}})},
        {"short.doc", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)},
        {"bad-shift.doc", CompoundFile({{"WordDocument", 2}}, 9).replace(30, 1, "\x10")},
        {"empty.dot", ""},
        {"text.rtf", "plain text"},
    };
    for (const auto& [name, bytes] : cases) {
        EXPECT_EQ(Detect(name, bytes).kind, LegacyKind::None) << name;
    }
    EXPECT_EQ(DetectLegacyFormat(folder / "missing.doc").kind, LegacyKind::None);
    EXPECT_EQ(DetectLegacyFormat(folder).kind, LegacyKind::None);
    // Opening a pipe to read it would wait for a writer forever.
    ASSERT_EQ(mkfifo((folder / "pipe.doc").c_str(), 0600), 0);
    EXPECT_EQ(DetectLegacyFormat(folder / "pipe.doc").kind, LegacyKind::None);
}

}  // namespace
