#include "office/package/Package.h"
#include "office/package/PackageError.h"
#include "tests/office/package/ZipFixture.h"
#include "tests/support/ZipOfParts.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

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

std::string ReadBytesOf(const std::string& repro) {
    return testing::ReadBytes(testing::SharedDir() / "repros" / repro);
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

TEST(PackageSafety, OnlyRegularFilesAreOpenedAndAFifoDoesNotBlock) {
    auto folder = testing::MakeTempFolder();
    const auto fifo = folder / "template.dotx";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const auto& path : {fifo, folder}) {
        try {
            ReadPackageFile(path);
            ADD_FAILURE() << "read " << path;
        } catch (const PackageError& error) {
            EXPECT_EQ(std::string(error.what()), "Cannot read '" + path.string() + "': it is not a regular file");
        }
    }
    std::filesystem::remove_all(folder);
}

// A compound document of three 512-byte sectors: the directory (sector 0)
// with a root entry and one stream, and the allocation table (sector 1).
std::string CompoundDocument(const std::u16string& streamName) {
    std::string bytes(512 * 3, '\0');
    auto put = [&](size_t at, uint32_t value, int size) {
        for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xff);
    };
    bytes.replace(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    put(0x1A, 3, 2);
    put(0x1C, 0xFFFE, 2);
    put(0x1E, 9, 2);
    put(0x2C, 1, 4);
    put(0x30, 0, 4);
    for (size_t i = 0; i < 109; ++i) put(0x4C + 4 * i, i == 0 ? 1 : 0xFFFFFFFF, 4);
    auto entry = [&](size_t at, const std::u16string& name, int type) {
        for (size_t i = 0; i < name.size(); ++i) put(at + 2 * i, name[i], 2);
        put(at + 64, static_cast<uint32_t>((name.size() + 1) * 2), 2);
        put(at + 66, static_cast<uint32_t>(type), 1);
    };
    entry(512, u"Root Entry", 5);
    entry(512 + 128, streamName, 2);
    put(1024, 0xFFFFFFFE, 4);
    put(1028, 0xFFFFFFFD, 4);
    return bytes;
}

TEST(PackageSafety, AnEncryptedPackageIsToldApartFromABinaryOfficeFile) {
    std::string text = Refusal(CompoundDocument(u"EncryptedPackage"));
    EXPECT_NE(text.find("t.dotx': it is encrypted"), std::string::npos) << text;
    text = Refusal(CompoundDocument(u"WordDocument"));
    EXPECT_NE(text.find("binary Office file"), std::string::npos) << text;
    // A damaged directory chain is read no further than the file goes.
    std::string looping = CompoundDocument(u"Workbook");
    looping[1024] = 0;  // the directory sector is its own successor
    looping[1025] = looping[1026] = looping[1027] = 0;
    EXPECT_NE(Refusal(looping).find("binary Office file"), std::string::npos);
}

TEST(PackageSafety, DeclaredSizesThatTheFileCannotHoldAreRefusedBeforeReading) {
    Entries parts = MinimalPackage();
    auto hand = [&](uint32_t lie) {
        std::vector<testing::HandEntry> entries;
        for (const auto& [name, data] : parts) entries.push_back({name, data, "", 0});
        entries.push_back({"xl/worksheets/sheet1.xml", std::string(8000, 'x'), "", lie});
        return testing::HandMadeZip(entries);
    };
    EXPECT_EQ(Refusal(hand(0)), "");
    std::string text = Refusal(hand(900u << 20));
    EXPECT_NE(text.find("'xl/worksheets/sheet1.xml' declares more compressed bytes than the file holds"),
              std::string::npos)
        << text;
    text = Refusal(ReadBytesOf("hostile/lie_big_cs.xltx"));
    EXPECT_NE(text.find("'xl/worksheets/sheet1.xml' declares"), std::string::npos) << text;
}

TEST(PackageSafety, AUnicodePathFieldNeverTurnsOneEntryIntoAnother) {
    auto crc = [](const std::string& text) {
        return static_cast<uint32_t>(crc32_z(0, reinterpret_cast<const Bytef*>(text.data()), text.size()));
    };
    std::vector<testing::HandEntry> swapped;
    for (const auto& [name, data] : MinimalPackage()) swapped.push_back({name, data, "", 0});
    swapped.push_back({"extra.xml", "<other/>", "", 0});
    swapped[2].extra = testing::UnicodePathField(crc("main.xml"), "extra.xml");
    swapped[3].extra = testing::UnicodePathField(crc("extra.xml"), "main.xml");
    std::string text = Refusal(testing::HandMadeZip(swapped));
    EXPECT_NE(text.find("'main.xml' is also named 'extra.xml'"), std::string::npos) << text;

    // A stale field (its CRC is not the header name's) and one that spells
    // the same name are harmless.
    swapped[2].extra = testing::UnicodePathField(crc("old.xml"), "extra.xml");
    swapped[3].extra = testing::UnicodePathField(crc("extra.xml"), "extra.xml");
    Package package = Package::FromBytes(testing::HandMadeZip(swapped), "t.dotx");
    EXPECT_EQ(package.Part("main.xml"), MinimalPackage()[2].second);
    EXPECT_EQ(package.Part("extra.xml"), "<other/>");

    EXPECT_NE(Refusal(ReadBytesOf("wordprocessor/upath.docx")).find("ambiguous"), std::string::npos);
    EXPECT_EQ(Refusal(ReadBytesOf("wordprocessor/plain.docx")), "");
}

TEST(PackageSafety, MoreEntriesThanAZipWithoutZip64HoldsAreRefusedWhenRead) {
    std::vector<testing::HandEntry> entries;
    for (const auto& [name, data] : MinimalPackage()) entries.push_back({name, data, "", 0});
    while (entries.size() < 65535) entries.push_back({"p/" + std::to_string(entries.size()) + ".xml", "<p/>", "", 0});
    std::string text = Refusal(testing::HandMadeZip(entries));
    EXPECT_NE(text.find("it has 65535 entries"), std::string::npos) << text;
}

}  // namespace
}  // namespace office
