#include "office/package/ContentTypes.h"
#include "office/package/PackageError.h"
#include "office/package/Properties.h"
#include "office/package/Relationships.h"
#include "tests/office/package/ZipFixture.h"
#include "tests/support/ZipOfParts.h"

#include <gtest/gtest.h>

namespace office {
namespace {

Package Minimal() {
    return Package::FromBytes(ZipOfParts(testing::MinimalPackage()), "minimal");
}

TEST(ContentTypes, OverridesWinOverExtensionDefaultsAndEditsSurviveAWrite) {
    Package package = Package::Open(testing::SharedDir() / "samples" / "poi-test.dotx");
    ContentTypes types(package);
    EXPECT_EQ(types.TypeOf("/word/document.xml"),
              "application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml");
    EXPECT_EQ(types.TypeOf("word/_rels/document.xml.rels"), "application/vnd.openxmlformats-package.relationships+xml");
    EXPECT_EQ(types.TypeOf("noextension"), "");

    types.SetOverride("word/document.xml", "application/x-new");
    types.SetOverride("/word/added.xml", "application/x-added");
    types.RemoveOverride("/docProps/app.xml");
    types.SetDefault("png", "image/png");
    types.WriteTo(package);

    ContentTypes reread(Package::FromBytes(package.ToBytes(), "again"));
    EXPECT_EQ(reread.TypeOf("/WORD/DOCUMENT.XML"), "application/x-new");
    EXPECT_EQ(reread.TypeOf("word/added.xml"), "application/x-added");
    EXPECT_EQ(reread.TypeOf("docProps/app.xml"), "application/xml");
    EXPECT_EQ(reread.TypeOf("media/a.PNG"), "image/png");
}

TEST(Relationships, PartNamesTargetsAndNewIds) {
    EXPECT_EQ(RelationshipsPartName("word/document.xml"), "word/_rels/document.xml.rels");
    EXPECT_EQ(RelationshipsPartName("/x.xml"), "_rels/x.xml.rels");
    EXPECT_EQ(RelationshipsPartName(""), "_rels/.rels");
    EXPECT_EQ(ResolvePartTarget("word/document.xml", "media/image1.png"), "word/media/image1.png");
    EXPECT_EQ(ResolvePartTarget("word/document.xml", "../customXml/item1.xml"), "customXml/item1.xml");
    EXPECT_EQ(ResolvePartTarget("word/document.xml", "/docProps/app.xml"), "docProps/app.xml");
    EXPECT_EQ(ResolvePartTarget("", "word/document.xml"), "word/document.xml");

    Package package = Package::Open(testing::SharedDir() / "samples" / "poi-test.dotx");
    Relationships rels(package, "word/document.xml");
    const auto before = rels.All();
    ASSERT_FALSE(before.empty());
    std::string id = rels.Add("http://example.org/t", "file:///C:/x.dotx", true);
    for (const auto& old : before) EXPECT_NE(old.id, id);
    rels.WriteTo(package);

    Relationships reread(package, "/word/document.xml");
    auto added = reread.FindById(id);
    ASSERT_TRUE(added);
    EXPECT_TRUE(added->external);
    EXPECT_EQ(reread.TargetPartOfType("http://example.org/t"), "");
    reread.SetTarget(id, "other");
    EXPECT_EQ(reread.FindByType("http://example.org/t")->target, "other");
    reread.Remove(id);
    EXPECT_EQ(reread.All().size(), before.size());

    EXPECT_TRUE(Relationships(package, "word/none.xml").All().empty());
}

TEST(Properties, CoreAndAppPropertiesAreChangedInPlaceOrCreated) {
    Package package = Package::Open(testing::SharedDir() / "samples" / "poi-test.dotx");
    SetCoreProperty(package, "cp:revision", "1");
    SetCoreProperty(package, "dcterms:created", "2024-01-02T03:04:05Z");
    SetAppProperty(package, "Template", "Normal.dotm");
    EXPECT_EQ(CoreProperty(package, "cp:revision"), "1");
    EXPECT_EQ(CoreProperty(package, "dcterms:created"), "2024-01-02T03:04:05Z");
    EXPECT_EQ(AppProperty(package, "Template"), "Normal.dotm");

    Package bare = Minimal();
    EXPECT_EQ(CoreProperty(bare, "dc:title"), std::nullopt);
    SetCoreProperty(bare, "dc:title", "A & <b>");
    SetAppProperty(bare, "Template", "x.dotx");
    Package reread = Package::FromBytes(bare.ToBytes(), "again");
    EXPECT_EQ(CoreProperty(reread, "dc:title"), "A & <b>");
    EXPECT_EQ(AppProperty(reread, "Template"), "x.dotx");
    EXPECT_EQ(ContentTypes(reread).TypeOf("docProps/core.xml"),
              "application/vnd.openxmlformats-package.core-properties+xml");
    EXPECT_EQ(W3cdtfNow().size(), 20u);
}

TEST(Properties, CustomPropertiesAreAddedOnceEach) {
    Package package = Minimal();
    EXPECT_TRUE(CustomProperties(package).empty());
    AddCustomProperty(package, {"Client", "lpwstr", "Ünïcode & Co"});
    AddCustomProperty(package, {"Count", "i4", "42"});
    EXPECT_THROW(AddCustomProperty(package, {"client", "lpwstr", "again"}), PackageError);
    auto properties = CustomProperties(Package::FromBytes(package.ToBytes(), "again"));
    ASSERT_EQ(properties.size(), 2u);
    EXPECT_EQ(properties[0].name, "Client");
    EXPECT_EQ(properties[0].value, "Ünïcode & Co");
    EXPECT_EQ(properties[1].type, "i4");
}

}  // namespace
}  // namespace office
