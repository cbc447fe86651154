// Parts written with namespace prefixes of their own, and strict packages,
// are read by their namespaces, whatever the prefixes.
#include "office/package/ContentTypes.h"
#include "office/package/Relationships.h"
#include "office/package/StrictNamespaces.h"
#include "office/package/Xml.h"
#include "tests/support/ZipOfParts.h"

#include <gtest/gtest.h>

namespace office {
namespace {

constexpr char kPrefixedTypes[] =
    R"(<?xml version="1.0" encoding="UTF-8"?><ns0:Types xmlns:ns0="http://schemas.openxmlformats.org/package/2006/content-types">)"
    R"(<ns0:Default Extension="xml" ContentType="application/xml"/>)"
    R"(<ns0:Override PartName="/xl/workbook.xml" ContentType="application/x-main"/></ns0:Types>)";

constexpr char kPrefixedRels[] =
    R"(<?xml version="1.0" encoding="UTF-8"?><p:Relationships xmlns:p="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<p:Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>)"
    R"(</p:Relationships>)";

TEST(Namespaces, PrefixedContentTypesAndRelationshipsAreReadAndExtendedWithTheirPrefix) {
    Package package = Package::FromBytes(
        ZipOfParts({{"[Content_Types].xml", kPrefixedTypes}, {"_rels/.rels", kPrefixedRels}, {"xl/workbook.xml", "<w/>"}}),
        "prefixed");
    ContentTypes types(package);
    EXPECT_EQ(types.TypeOf("xl/workbook.xml"), "application/x-main");
    EXPECT_EQ(types.TypeOf("xl/other.xml"), "application/xml");
    types.SetOverride("xl/new.xml", "application/x-new");
    types.WriteTo(package);
    EXPECT_NE(package.Part("[Content_Types].xml").find(R"(<ns0:Override PartName="/xl/new.xml")"), std::string::npos);

    Relationships relationships(package, "");
    EXPECT_EQ(relationships.TargetPartOfType(kOfficeDocumentType), "xl/workbook.xml");
    std::string id = relationships.Add("urn:x", "x.xml");
    relationships.WriteTo(package);
    EXPECT_NE(package.Part("_rels/.rels").find("<p:Relationship Id=\"" + id + "\""), std::string::npos);
}

TEST(Namespaces, StrictPackagesBecomeTransitional) {
    EXPECT_EQ(StrictToTransitional(R"(<w:workbook xmlns:w="http://purl.oclc.org/ooxml/spreadsheetml/main" )"
                                   R"(xmlns:r="http://purl.oclc.org/ooxml/officeDocument/relationships" w:conformance="strict">)"),
              R"(<w:workbook xmlns:w="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
              R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)");
    EXPECT_EQ(StrictToTransitional("http://purl.oclc.org/ooxml/officeDocument/relationships/extendedProperties "
                                   "http://purl.oclc.org/ooxml/drawingml/chartDrawing http://purl.oclc.org/ooxml/unknown"),
              "http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties "
              "http://schemas.openxmlformats.org/drawingml/2006/chartDrawing http://purl.oclc.org/ooxml/unknown");

    const std::string strictRels =
        R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" )"
        R"(Type="http://purl.oclc.org/ooxml/officeDocument/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>)";
    const std::string types =
        R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="xml" ContentType="application/xml"/></Types>)";
    Package strict = Package::FromBytes(
        ZipOfParts({{"[Content_Types].xml", types},
                    {"_rels/.rels", strictRels},
                    {"xl/workbook.xml", R"(<workbook xmlns="http://purl.oclc.org/ooxml/spreadsheetml/main" conformance="strict"/>)"},
                    {"xl/media/a.bin", "http://purl.oclc.org/ooxml/spreadsheetml/main"}}),
        "strict");
    EXPECT_TRUE(IsStrict(strict));
    MakeTransitional(strict);
    EXPECT_FALSE(IsStrict(strict));
    EXPECT_EQ(Relationships(strict, "").TargetPartOfType(kOfficeDocumentType), "xl/workbook.xml");
    EXPECT_EQ(strict.Part("xl/workbook.xml"), R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"/>)");
    EXPECT_EQ(strict.Part("xl/media/a.bin"), "http://purl.oclc.org/ooxml/spreadsheetml/main");  // not XML: untouched
}

}  // namespace
}  // namespace office
