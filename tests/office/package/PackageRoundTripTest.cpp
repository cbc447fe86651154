#include "office/package/AtomicFile.h"
#include "office/package/ContentTypes.h"
#include "office/package/Package.h"
#include "office/package/PackageError.h"
#include "office/package/Xml.h"
#include "tests/office/package/ZipFixture.h"
#include "tests/support/ZipOfParts.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>

namespace office {
namespace {

using testing::MinimalPackage;

std::vector<std::filesystem::path> OfficeSamples() {
    std::vector<std::filesystem::path> files;
    for (const auto& item : std::filesystem::directory_iterator(testing::SharedDir() / "samples")) {
        auto ext = item.path().extension();
        if (ext == ".docx" || ext == ".dotx" || ext == ".xlsx" || ext == ".xltx") files.push_back(item.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(PackageRoundTrip, EverySampleComesBackWithTheSamePartsInTheSameOrder) {
    auto samples = OfficeSamples();
    ASSERT_GE(samples.size(), 10u);
    for (const auto& file : samples) {
        SCOPED_TRACE(file.string());
        Package original = Package::Open(file);
        Package again = Package::FromBytes(original.ToBytes(), "copy");
        ASSERT_EQ(original.PartNames(), again.PartNames());
        for (const auto& name : original.PartNames()) EXPECT_EQ(original.Part(name), again.Part(name)) << name;
    }
}

TEST(PackageRoundTrip, UntouchedPartsKeepTheirCompressedBytes) {
    auto file = testing::SharedDir() / "samples" / "poi-test.dotx";
    std::string bytes = testing::ReadBytes(file);
    Package package = Package::Open(file);
    std::string written = package.ToBytes();
    // Every compressed stream of the source appears unchanged in the output.
    auto entries = ReadZip(bytes, "source");
    for (const auto& entry : entries) {
        ASSERT_TRUE(entry.hasRaw);
        EXPECT_NE(written.find(entry.raw), std::string::npos) << entry.name;
    }
}

TEST(PackageRoundTrip, ReplacedPartKeepsItsPlaceAndNewPartsGoLast) {
    Package package = Package::FromBytes(ZipOfParts(MinimalPackage()), "minimal");
    package.SetPart("/MAIN.xml", "<root>changed</root>");
    package.SetPart("extra/new.xml", "<new/>");
    Package again = Package::FromBytes(package.ToBytes(), "again");
    EXPECT_EQ(again.PartNames(), (std::vector<std::string>{"[Content_Types].xml", "_rels/.rels", "main.xml", "extra/new.xml"}));
    EXPECT_EQ(again.Part("main.xml"), "<root>changed</root>");
    again.RemovePart("extra/new.xml");
    EXPECT_FALSE(again.HasPart("extra/new.xml"));
    EXPECT_TRUE(again.HasPart("Main.XML"));
    EXPECT_THROW(again.Part("missing.xml"), PackageError);
}

// Parts whose compressed form spans many pieces of the output, at both
// compression levels, written straight away or compressed first for sharing.
TEST(PackageRoundTrip, LargePartsComeBackWholeWhetherCompressedBeforeOrWhileWriting) {
    std::string noisy(3u << 20, ' ');
    uint32_t state = 12345;
    for (char& c : noisy) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>('!' + (state >> 16) % 90);
    }
    std::string repetitive = "<rows>";
    while (repetitive.size() < (6u << 20)) repetitive += "<row r=\"" + std::to_string(repetitive.size()) + "\"/>";
    repetitive += "</rows>";
    for (bool compressFirst : {false, true}) {
        Package package = Package::FromBytes(ZipOfParts(MinimalPackage()), "minimal");
        package.SetPart("noisy.bin", noisy);
        ContentTypes types(package);
        types.SetDefault("bin", "application/octet-stream");
        types.WriteTo(package);
        package.SetPart("repetitive.xml", repetitive);
        if (compressFirst) package.Compress();
        std::string bytes = package.ToBytes();
        EXPECT_LT(bytes.size(), noisy.size() + repetitive.size() / 4);
        Package again = Package::FromBytes(bytes, "again");
        EXPECT_EQ(again.Part("noisy.bin"), noisy);
        EXPECT_EQ(again.Part("repetitive.xml"), repetitive);
        EXPECT_EQ(again.Part("main.xml"), package.Part("main.xml"));
    }
}

// A part compressed while it is written, small enough to be held or so large
// that it streams, in pieces of every size, comes back whole from the package.
TEST(PackageRoundTrip, PartsCompressedWhileWrittenComeBackWhole) {
    for (size_t rows : {0u, 3u, 300'000u}) {
        pugi::xml_document xml;
        pugi::xml_node root = xml.append_child("rows");
        for (size_t i = 0; i < rows; ++i) root.append_child("row").append_attribute("r").set_value(i * 7919 % 100'003);
        const std::string expected = SerializeXml(xml);

        Package package = Package::FromBytes(ZipOfParts(MinimalPackage()), "minimal");
        package.SetEntry(SerializeXmlEntry(xml, "main.xml"));
        DeflatingWriter pieces("extra/pieces.xml");
        for (size_t at = 0, piece = 0; at < expected.size(); at += piece, piece = piece * 3 + 1) {
            pieces.Write(std::string_view(expected).substr(at, piece));
        }
        package.SetEntry(pieces.Finish());
        EXPECT_EQ(package.Part("main.xml"), expected);

        Package again = Package::FromBytes(package.ToBytes(), "again");
        EXPECT_EQ(again.Part("main.xml"), expected);
        EXPECT_EQ(again.Part("extra/pieces.xml"), expected);
        if (rows > 100'000) {
            EXPECT_LT(again.Entry("main.xml")->raw.size(), expected.size() / 4);
        }
    }
}

// Big parts and writers take turns with one fast compressor: a big part
// compressed while a writer is open, and two writers open at once, must not
// mix their streams.
TEST(PackageRoundTrip, BigPartsAndWritersOpenAtOnceKeepTheirOwnBytes) {
    std::string big = "<rows>";
    for (int i = 0; big.size() <= (5u << 20); ++i) big += "<row r=\"" + std::to_string(i) + "\"/>";
    big += "</rows>";
    const std::string text = "<t>" + std::string(300'000, 'x') + "</t>";
    auto bigEntry = std::make_shared<ZipEntry>();
    bigEntry->name = "big.xml";
    bigEntry->data = big;

    Package package = Package::FromBytes(ZipOfParts(MinimalPackage()), "minimal");
    DeflatingWriter outer("outer.xml");
    outer.Write(std::string_view(text).substr(0, 1000));
    package.SetEntry(Compressed(bigEntry));
    {
        DeflatingWriter inner("inner.xml");
        inner.Write(big);
        outer.Write(std::string_view(text).substr(1000));
        package.SetEntry(inner.Finish());
    }
    package.SetEntry(outer.Finish());
    DeflatingWriter after("after.xml");
    after.Write(text);
    package.SetEntry(after.Finish());

    Package again = Package::FromBytes(package.ToBytes(), "again");
    EXPECT_EQ(again.Part("big.xml"), big);
    EXPECT_EQ(again.Part("inner.xml"), big);
    EXPECT_EQ(again.Part("outer.xml"), text);
    EXPECT_EQ(again.Part("after.xml"), text);
}

TEST(PackageRoundTrip, SaveAsWritesAtomicallyAndNeverReplacesAFile) {
    auto folder = testing::MakeTempFolder();
    Package package = Package::FromBytes(ZipOfParts(MinimalPackage()), "minimal");
    package.SaveAs(folder / "out.docx");
    EXPECT_EQ(Package::Open(folder / "out.docx").Part("main.xml"), package.Part("main.xml"));

    testing::WriteBytes(folder / "taken.docx", "precious");
    try {
        package.SaveAs(folder / "taken.docx");
        ADD_FAILURE() << "an existing file was replaced";
    } catch (const PackageError& error) {
        EXPECT_NE(std::string(error.what()).find("taken.docx"), std::string::npos);
        EXPECT_NE(std::string(error.what()).find("already exists"), std::string::npos);
    }
    EXPECT_EQ(testing::ReadBytes(folder / "taken.docx"), "precious");
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 2);
    EXPECT_THROW(package.SaveAs(folder / "no-such-folder" / "x.docx"), PackageError);
    std::filesystem::remove_all(folder);
}

TEST(PackageRoundTrip, AWriteKilledHalfwayLeavesNoFileBehind) {
    auto folder = testing::MakeTempFolder();
    EXPECT_EXIT(
        {
            TemporaryFile pending(folder, folder / "Document1.docx", std::string(1 << 20, 'x'), false);
            std::raise(SIGTERM);
        },
        ::testing::KilledBySignal(SIGTERM), "");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 0);

    TemporaryFile kept(folder, folder / "Document1.docx", "bytes", true);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 0) << "the file has a name too early";
    EXPECT_EQ(kept.MoveTo(folder / "Document1.docx"), 0);
    TemporaryFile second(folder, folder / "Document1.docx", "other", true);
    EXPECT_EQ(second.MoveTo(folder / "Document1.docx"), EEXIST);
    EXPECT_EQ(testing::ReadBytes(folder / "Document1.docx"), "bytes");
    std::filesystem::remove_all(folder);
}

volatile std::sig_atomic_t handled = 0;

TEST(PackageRoundTrip, NamedTemporaryFilesGoWhenASignalEndsTheProcessAndStayWhenAHandlerTakesIt) {
    auto folder = testing::MakeTempFolder();
    const std::string path = (folder / ".Document1.docx.XXXXXX").string();
    EXPECT_EXIT(
        {
            testing::WriteBytes(path, "half");
            TemporaryName pending(path);
            std::raise(SIGHUP);
        },
        ::testing::KilledBySignal(SIGHUP), "");
    EXPECT_FALSE(std::filesystem::exists(path));

    EXPECT_EXIT(
        {
            std::signal(SIGTERM, [](int) { handled = 1; });
            testing::WriteBytes(path, "kept");
            TemporaryName pending(path);
            std::raise(SIGTERM);
            std::exit(handled == 1 && std::filesystem::exists(path) ? 3 : 4);
        },
        ::testing::ExitedWithCode(3), "");
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace office
