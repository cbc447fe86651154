#include "office/package/ContentTypes.h"
#include "office/package/PackageError.h"
#include "office/package/Properties.h"
#include "office/package/Relationships.h"
#include "office/package/WrittenPartsCheck.h"
#include "tests/office/package/ZipFixture.h"
#include "tests/support/ZipOfParts.h"

#include <gtest/gtest.h>

namespace office {
namespace {

using testing::Entries;

const char kCoreNs[] = "http://schemas.openxmlformats.org/package/2006/metadata/core-properties";

// A package whose property parts are the given texts ("" leaves one out).
Package WithProperties(const std::string& core, const std::string& app = "", const std::string& custom = "") {
    std::string rels = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    Entries entries = {{"[Content_Types].xml",
                        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                        "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                        "<Default Extension=\"xml\" ContentType=\"application/xml\"/></Types>"}};
    auto add = [&](const std::string& text, const char* part, const char* type) {
        if (text.empty()) return;
        entries.emplace_back(part, text);
        rels += std::string("<Relationship Id=\"r") + part + "\" Type=\"" + type + "\" Target=\"" + part + "\"/>";
    };
    add(core, "docProps/core.xml",
        "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties");
    add(app, "docProps/app.xml", kExtendedPropertiesType);
    add(custom, "docProps/custom.xml",
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships/custom-properties");
    entries.emplace_back("_rels/.rels", rels + "</Relationships>");
    return Package::FromBytes(ZipOfParts(entries), "props.docx");
}

// Reread after writing, with every part checked as the tests' guard does.
Package Reread(const Package& package) {
    CheckWrittenParts(package);
    return Package::FromBytes(package.ToBytes(), "again");
}

size_t Count(const std::string& text, const std::string& what) {
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
    return count;
}

TEST(PropertyNamespaces, CorePropertiesAreFoundAndAddedByNamespaceWhateverThePrefixes) {
    struct Case {
        const char* what;
        std::string core;
    };
    const Case cases[] = {
        {"core namespace as the default, an unprefixed revision",
         std::string("<coreProperties xmlns=\"") + kCoreNs +
             "\" xmlns:dcterms=\"http://purl.org/dc/terms/\"><revision>2</revision></coreProperties>"},
        {"only cp declared", std::string("<cp:coreProperties xmlns:cp=\"") + kCoreNs + "\"></cp:coreProperties>"},
        {"unusual prefixes, and cp bound elsewhere on the root",
         std::string("<p:coreProperties xmlns:p=\"") + kCoreNs +
             "\" xmlns:cp=\"urn:other\" xmlns:t=\"http://purl.org/dc/terms/\"><p:revision>7</p:revision>"
             "<t:created>2001-01-01T00:00:00Z</t:created></p:coreProperties>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Package package = WithProperties(c.core);
        SetCoreProperty(package, "cp:revision", "1");
        SetCoreProperty(package, "dcterms:created", "2024-01-02T03:04:05Z");
        SetCoreProperty(package, "dcterms:modified", "2024-01-02T03:04:05Z");
        SetCoreProperty(package, "dc:title", "T");
        Package again = Reread(package);
        EXPECT_EQ(CoreProperty(again, "cp:revision"), "1");
        EXPECT_EQ(CoreProperty(again, "dcterms:created"), "2024-01-02T03:04:05Z");
        EXPECT_EQ(CoreProperty(again, "dc:title"), "T");
        const std::string& text = again.Part("docProps/core.xml");
        EXPECT_EQ(Count(text, "revision>1<"), 1u) << text;
        EXPECT_EQ(Count(text, "revision>"), 2u) << text;  // one element: its start and end tags
    }
    Package unknown = WithProperties(cases[0].core);
    EXPECT_THROW(SetCoreProperty(unknown, "x:y", "z"), PackageError);
}

TEST(PropertyNamespaces, AppAndCustomPropertiesWorkWithAPrefixedOrAnUnprefixedRoot) {
    const std::string prefixedApp =
        "<ep:Properties xmlns:ep=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\">"
        "<ep:Template>Old.dotx</ep:Template></ep:Properties>";
    const std::string otherNamespaceTemplate =
        "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\" "
        "xmlns:x=\"urn:x\"><x:Template>not this</x:Template></Properties>";
    const std::string prefixedCustom =
        "<c:Properties xmlns:c=\"http://schemas.openxmlformats.org/officeDocument/2006/custom-properties\" "
        "xmlns:v=\"http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes\">"
        "<c:property fmtid=\"{D5CDD505-2E9C-101B-9397-08002B2CF9AE}\" pid=\"5\" name=\"Old\"><v:lpwstr>o</v:lpwstr>"
        "</c:property></c:Properties>";
    const std::string core = std::string("<cp:coreProperties xmlns:cp=\"") + kCoreNs + "\"/>";

    Package package = WithProperties(core, prefixedApp, prefixedCustom);
    SetAppProperty(package, "Template", "New.dotx");
    SetAppProperty(package, "Application", "Tolvane");
    AddCustomProperty(package, {"Client", "lpwstr", "A & B"});
    EXPECT_THROW(AddCustomProperty(package, {"old", "lpwstr", "again"}), PackageError);
    Package again = Reread(package);
    EXPECT_EQ(AppProperty(again, "Template"), "New.dotx");
    EXPECT_EQ(AppProperty(again, "Application"), "Tolvane");
    EXPECT_EQ(Count(again.Part("docProps/app.xml"), "Template>"), 2u);
    auto custom = CustomProperties(again);
    ASSERT_EQ(custom.size(), 2u);
    EXPECT_EQ(custom[1].name, "Client");
    EXPECT_EQ(custom[1].value, "A & B");
    EXPECT_NE(again.Part("docProps/custom.xml").find("pid=\"6\""), std::string::npos);

    Package other = WithProperties(core, otherNamespaceTemplate);
    EXPECT_EQ(AppProperty(other, "Template"), std::nullopt);
    SetAppProperty(other, "Template", "T.dotx");
    EXPECT_EQ(AppProperty(Reread(other), "Template"), "T.dotx");
}

TEST(WrittenPartsCheck, RefusesUndeclaredPrefixesDuplicateAttributesAndPartsWithoutAType) {
    const Entries base = testing::MinimalPackage();
    auto refusal = [&](const std::string& name, const std::string& text) {
        Entries entries = base;
        entries.emplace_back(name, text);
        try {
            CheckWrittenParts(Package::FromBytes(ZipOfParts(entries), "t.docx"));
            return std::string();
        } catch (const PackageError& error) {
            return std::string(error.what());
        }
    };
    EXPECT_EQ(refusal("ok.xml", "<a xmlns:x=\"urn:x\"><x:b x:c=\"1\"/></a>"), "");
    EXPECT_NE(refusal("word/a.xml", "<a><cp:b/></a>").find("'word/a.xml' that is not namespace-well-formed"),
              std::string::npos);
    EXPECT_NE(refusal("b.xml", "<c t=\"s\" t=\"str\"/>").find("'b.xml'"), std::string::npos);
    EXPECT_NE(refusal("c.xml", "<a xmlns:x=\"urn:x\" xmlns:y=\"urn:x\" x:v=\"1\" y:v=\"2\"/>").find("'c.xml'"),
              std::string::npos);
    EXPECT_NE(refusal("image.png", "binary").find("no content type for its part 'image.png'"), std::string::npos);
    // Parts that are not XML are not parsed.
    Entries withVml = base;
    withVml.emplace_back("d.vml", "<xml><br></xml>");
    withVml[0].second.insert(withVml[0].second.find("</Types>"),
                             "<Default Extension=\"vml\" ContentType=\"application/vnd.openxmlformats-officedocument.vmlDrawing\"/>");
    EXPECT_NO_THROW(CheckWrittenParts(Package::FromBytes(ZipOfParts(withVml), "t.xlsx")));
}

TEST(WrittenPartsCheck, EverySampleIsAcceptedAsItWasRead) {
    for (const auto& item : std::filesystem::directory_iterator(testing::SharedDir() / "samples")) {
        if (item.path().extension() == ".md") continue;
        SCOPED_TRACE(item.path().string());
        EXPECT_NO_THROW(CheckWrittenParts(Package::Open(item.path())));
    }
}

TEST(RelationshipParts, NoEmptyPartIsWrittenAndANewPartGetsItsContentType) {
    // Relationship parts typed one by one, as some producers write them.
    Entries entries = {
        {"[Content_Types].xml",
         "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
         "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
         "<Override PartName=\"/_rels/.rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
         "</Types>"},
        {"_rels/.rels", testing::MinimalPackage()[1].second},
        {"main.xml", "<root/>"},
    };
    Package package = Package::FromBytes(ZipOfParts(entries), "t.docx");
    Relationships empty(package, "main.xml");
    empty.WriteTo(package);
    EXPECT_FALSE(package.HasPart("_rels/main.xml.rels"));

    Relationships added(package, "main.xml");
    const std::string id = added.Add("http://example.org/t", "file:///x.dotx", true);
    added.WriteTo(package);
    Package again = Reread(package);
    EXPECT_EQ(ContentTypes(again).TypeOf("_rels/main.xml.rels"), "application/vnd.openxmlformats-package.relationships+xml");

    Relationships emptied(again, "main.xml");
    emptied.Remove(id);
    emptied.WriteTo(again);
    EXPECT_FALSE(again.HasPart("_rels/main.xml.rels"));
}

}  // namespace
}  // namespace office
