#include "office/package/Package.h"
#include "office/package/PackageError.h"
#include "tests/office/package/ZipFixture.h"
#include "tests/support/ZipOfParts.h"

#include <gtest/gtest.h>

namespace office {
namespace {

using testing::Entries;
using testing::MinimalPackage;

// The error text of reading bytes as a package named "t.dotx", or "" when it was read.
std::string Refusal(const std::string& bytes, const ZipLimits& limits = {}) {
    try {
        Package::FromBytes(bytes, "t.dotx", limits);
        return "";
    } catch (const PackageError& error) {
        return error.what();
    }
}

Entries With(std::string name, std::string data) {
    Entries entries = MinimalPackage();
    entries.emplace_back(std::move(name), std::move(data));
    return entries;
}

TEST(PackageSafety, HostileEntryNamesAreRefusedNamingTheFile) {
    for (const char* name : {"../x", "word/../../x", "/etc/passwd", "C:/x.xml", "word\\x.xml"}) {
        SCOPED_TRACE(name);
        std::string text = Refusal(ZipOfParts(With(name, "x")));
        EXPECT_NE(text.find("t.dotx"), std::string::npos) << text;
        EXPECT_NE(text.find("entry name"), std::string::npos) << text;
    }
    EXPECT_EQ(Refusal(ZipOfParts(With("word/..x/ok.xml", "<a/>"))), "");
}

TEST(PackageSafety, DuplicateEntriesAreRefusedIgnoringCase) {
    std::string text = Refusal(ZipOfParts(With("MAIN.XML", "<a/>")));
    EXPECT_NE(text.find("occurs twice"), std::string::npos) << text;
}

TEST(PackageSafety, ZipBombsAreRefusedByRatioAndByTotalSize) {
    std::string text = Refusal(BombZipOfParts(MinimalPackage(), "bomb.bin", 64u << 20));
    EXPECT_NE(text.find("zip bomb"), std::string::npos) << text;

    ZipLimits small;
    small.maxTotalUncompressed = 1000;
    text = Refusal(ZipOfParts(With("big.bin", std::string(2000, 'x'))), small);
    EXPECT_NE(text.find("more than 1 GiB"), std::string::npos) << text;
}

TEST(PackageSafety, PartsWithADtdAreRefused) {
    std::string text = Refusal(ZipOfParts(With("word/evil.xml",
        "<?xml version=\"1.0\"?><!DOCTYPE x [<!ENTITY e SYSTEM \"file:///etc/passwd\">]><x>&e;</x>")));
    EXPECT_NE(text.find("word/evil.xml"), std::string::npos) << text;
    EXPECT_NE(text.find("DTD"), std::string::npos) << text;
}

TEST(PackageSafety, FilesThatAreNoPackageAreRefusedWithTheirReason) {
    EXPECT_NE(Refusal("this is plain text, not a zip").find("not a zip"), std::string::npos);
    EXPECT_NE(Refusal("").find("empty"), std::string::npos);
    std::string ole("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    ole.resize(4096, '\0');
    EXPECT_NE(Refusal(ole).find("only OOXML packages are read"), std::string::npos);
    Entries noTypes = {{"word/document.xml", "<a/>"}};
    EXPECT_NE(Refusal(ZipOfParts(noTypes)).find("[Content_Types].xml"), std::string::npos);

    std::string zip = ZipOfParts(MinimalPackage());
    std::string truncated = zip.substr(0, zip.size() / 2);
    EXPECT_NE(Refusal(truncated), "");
}

TEST(PackageSafety, MissingFilesAndFoldersAreNamed) {
    try {
        Package::Open("/no/such/template.dotx");
        ADD_FAILURE();
    } catch (const PackageError& error) {
        EXPECT_STREQ(error.what(), "Cannot read '/no/such/template.dotx': the file does not exist");
    }
    EXPECT_THROW(Package::Open(testing::SharedDir()), PackageError);
}

}  // namespace
}  // namespace office
