// A package goes straight into its file as it is made: these check that the
// file is the same as the bytes built whole, and that a write that fails
// halfway leaves nothing behind and costs no other document.
#include "office/package/AtomicFile.h"
#include "office/package/Package.h"
#include "office/package/PackageError.h"
#include "office/package/Presenter.h"
#include "tests/office/package/ZipFixture.h"
#include "tests/support/ZipOfParts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace office {
namespace {

size_t FilesIn(const std::filesystem::path& folder) {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

TEST(StreamedWrite, APackageWrittenStraightIntoItsFileHasTheBytesItHasWhole) {
    auto folder = testing::MakeTempFolder();
    // Parts compressed already, parts still to compress, and one large enough
    // to pass through in pieces of its own.
    std::string big = "<rows>";
    for (int i = 0; big.size() < (3u << 20); ++i) big += "<row r=\"" + std::to_string(i * 7919 % 100003) + "\"/>";
    big += "</rows>";
    Package package = Package::Open(testing::SharedDir() / "samples" / "poi-test.dotx");
    package.SetPart("big.xml", big);
    package.SetPart("word/document.xml", "<changed/>");
    package.SaveAs(folder / "out.docx");

    const std::string whole = package.ToBytes();
    const std::string written = testing::ReadBytes(folder / "out.docx");
    ASSERT_EQ(written.size(), whole.size());
    const auto expected = ReadZip(whole, "whole");
    const auto got = ReadZip(written, "written");
    ASSERT_EQ(got.size(), expected.size());
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].name, expected[i].name);
        EXPECT_EQ(got[i].raw, expected[i].raw) << got[i].name;
        EXPECT_EQ(got[i].crc, expected[i].crc) << got[i].name;
    }
    EXPECT_EQ(Package::Open(folder / "out.docx").Part("big.xml"), big);
    std::filesystem::remove_all(folder);
}

TEST(StreamedWrite, AStreamedPartIsMadeAsTheZipIsWrittenAndReadsBackTheSame) {
    auto folder = testing::MakeTempFolder();
    std::string text = "<rows>";
    for (int i = 0; text.size() < (1u << 20); ++i) text += "<r n=\"" + std::to_string(i * 7919 % 100003) + "\"/>";
    text += "</rows>";
    int runs = 0;
    auto write = [&](const PartSink& sink) {
        ++runs;
        for (size_t at = 0; at < text.size(); at += 5000) sink(std::string_view(text).substr(at, 5000));
    };
    Package package = Package::FromBytes(ZipOfParts(testing::MinimalPackage()), "minimal");
    package.SetEntry(StreamedEntry("middle.xml", write));
    package.SetPart("last.xml", "<last/>");
    package.SaveAs(folder / "out.docx");
    const std::string bytes = package.ToBytes();
    EXPECT_EQ(bytes, testing::ReadBytes(folder / "out.docx"));
    for (const Package& again : {Package::FromBytes(bytes, "again"), Package::Open(folder / "out.docx")}) {
        EXPECT_EQ(again.PartNames(), (std::vector<std::string>{"[Content_Types].xml", "_rels/.rels", "main.xml",
                                                               "middle.xml", "last.xml"}));
        EXPECT_EQ(again.Part("middle.xml"), text);
        EXPECT_EQ(again.Part("last.xml"), "<last/>");
    }

    // Asked for, the bytes are made once and kept; compressed, they are held
    // in their stored form like any other part's.
    Package compressed = package;
    compressed.Compress();
    EXPECT_TRUE(compressed.Entry("middle.xml")->hasRaw);
    EXPECT_EQ(Package::FromBytes(compressed.ToBytes(), "compressed").Part("middle.xml"), text);
    EXPECT_EQ(package.Part("middle.xml"), text);
    const int made = runs;
    EXPECT_EQ(Package::FromBytes(package.ToBytes(), "made").Part("middle.xml"), text);
    EXPECT_EQ(runs, made);
    std::filesystem::remove_all(folder);
}

TEST(StreamedWrite, PiecesAreGatheredOrPassedOnAndAFailedWriteStopsTheWriter) {
    std::vector<size_t> pieces;
    std::string all;
    auto record = [&](std::string_view bytes) {
        pieces.push_back(bytes.size());
        all += bytes;
        return true;
    };
    std::string expected;
    ASSERT_TRUE(WriteInPieces(
        [&](const ByteSink& sink) {
            for (int i = 0; i < 100000; ++i) {
                const std::string small = std::to_string(i) + ",";
                expected += small;
                sink(small);
            }
            const std::string large(1 << 20, 'x');
            expected += large;
            sink(large);
            expected += "end";
            sink("end");
        },
        record));
    EXPECT_EQ(all, expected);
    // Few pieces, the large write one of its own.
    EXPECT_LE(pieces.size(), expected.size() / (256 * 1024) + 2);
    EXPECT_NE(std::find(pieces.begin(), pieces.end(), size_t(1) << 20), pieces.end());
    EXPECT_EQ(pieces.back(), 3u);

    size_t calls = 0;
    size_t writes = 0;
    EXPECT_FALSE(WriteInPieces(
        [&](const ByteSink& sink) {
            for (int i = 0; i < 10; ++i) {
                ++writes;
                sink(std::string(300 * 1024, 'y'));
            }
        },
        [&](std::string_view) { return ++calls < 2; }));
    EXPECT_EQ(calls, 2u);
    EXPECT_EQ(writes, 2u) << "the writer went on after the file failed";
}

TEST(StreamedWrite, AWriterThatGivesUpHalfwayLeavesNoFileAndItsErrorGoesOn) {
    auto folder = testing::MakeTempFolder();
    auto giveUp = [](const ByteSink& sink) {
        sink(std::string(1 << 20, 'x'));
        throw PackageError("Cannot write the package: given up");
    };
    try {
        WriteFileNoReplace(folder / "out.xlsx", giveUp);
        ADD_FAILURE() << "no error";
    } catch (const PackageError& error) {
        EXPECT_STREQ(error.what(), "Cannot write the package: given up");
    }
    EXPECT_EQ(FilesIn(folder), 0u);

    // Among several documents, the ones before the failing one are placed and
    // reported; the ones after it are not written.
    setenv("TOLVANE_OUTPUT_DIR", folder.c_str(), 1);
    setenv("TOLVANE_OPEN", "0", 1);
    std::vector<size_t> placed;
    std::vector<PresentedDocument> documents;
    documents.emplace_back("Book", "xlsx", std::string("first"));
    documents.emplace_back("Book", "xlsx", ContentWriter(giveUp));
    documents.emplace_back("Book", "xlsx", ContentWriter([](const ByteSink& sink) { sink("third"); }));
    ::testing::internal::CaptureStdout();
    EXPECT_THROW(PresentDocuments(documents, [&](size_t i) { placed.push_back(i); }), PackageError);
    const std::string printed = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(placed, std::vector<size_t>{0});
    EXPECT_EQ(printed, (folder / "Book.xlsx").string() + "\n");
    EXPECT_EQ(testing::ReadBytes(folder / "Book.xlsx"), "first");
    EXPECT_EQ(FilesIn(folder), 1u);
    unsetenv("TOLVANE_OUTPUT_DIR");
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace office
