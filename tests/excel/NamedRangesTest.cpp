// Document properties, the matching of fields with workbook names, single
// values, and the split of a group's fields.
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "generator/AnsiText.h"
#include "generator/CancelRequested.h"
#include "tests/excel/ScriptedWorkbook.h"
#include "tests/support/OleText.h"

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

std::vector<std::string> PropertyCalls(ScriptedWorkbook& excel)
{
    std::vector<std::string> calls;
    for (const RecordedCall& call : excel.server.Calls())
        if (call.object == "Properties" && call.arguments.size() == 4 && call.arguments[0] != "\"Generated\"")
            calls.push_back(call.arguments[0] + " " + call.arguments[3]);
    return calls;
}

std::vector<std::string> Names(const std::vector<Element*>& fields)
{
    std::vector<std::string> names;
    for (Element* field : fields) names.push_back(ElementName(field));
    return names;
}

TEST(WriteDocumentProperties, TemplateFileNameFollowsTheLastSeparatorOfEitherKind)
{
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Templates\\report.xlt", "\"report.xlt\""},
        {"/srv/templates/report.xltx", "\"report.xltx\""},
        {"/srv/mixed\\dir/x\\report.xltx", "\"report.xltx\""},
        {"report.xltx", "\"report.xltx\""},
    };
    for (const auto& [path, expected] : cases) {
        ScriptedWorkbook excel;
        ExcelTestData data("", "", path);
        TestableExcelGenerator generator(data);
        generator.StartOn(excel.Workbook());
        generator.WriteDocumentProperties();
        EXPECT_THAT(PropertyCalls(excel), ElementsAre(std::string("\"Template\" ") + expected)) << path;
    }
}

TEST(WriteDocumentProperties, QueryTextsAreStoredInNumberedPiecesOfAtMost256Bytes)
{
    ScriptedWorkbook excel;
    std::string first = std::string(256, 'a') + std::string(44, 'b');
    ExcelTestData data("", "<SQL>" + first + "</SQL><NOTSQL>x</NOTSQL><SQL>cccccccccc</SQL><SQL/>");
    TestableExcelGenerator generator(data);
    generator.StartOn(excel.Workbook());
    generator.WriteDocumentProperties();
    EXPECT_THAT(PropertyCalls(excel),
                ElementsAre("\"Template\" \"report.xltx\"", "\"QueryString0\" \"" + std::string(256, 'a') + "\"",
                            "\"QueryString1\" \"" + std::string(44, 'b') + "\"",
                            "\"QueryString2\" \"cccccccccc\"", "\"QueryString3\" \" \""));
}

TEST(WriteDocumentProperties, PiecesEndBeforeACharacterRatherThanInsideIt)
{
    ScriptedWorkbook excel;
    ExcelTestData data("", "<SQL>" + std::string(255, 'a') + "\xC3\xA9z</SQL>");
    TestableExcelGenerator generator(data);
    generator.StartOn(excel.Workbook());
    generator.WriteDocumentProperties();
    // The piece is read in the ANSI code page, as the data file's names are: on
    // Windows-1252 the two bytes of the letter are two letters.
    const std::string second = TextToUtf8(FromOle(AnsiToWide("\xC3\xA9z").c_str()));
    EXPECT_THAT(PropertyCalls(excel),
                ElementsAre("\"Template\" \"report.xltx\"", "\"QueryString0\" \"" + std::string(255, 'a') + "\"",
                            "\"QueryString1\" \"" + second + "\""));
}

class ScanNamesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CancelRequested = 0;
        excel.Define("VeskGroupA", 10);
        excel.Define("Plain", 2);
        excel.Define("VeskGroupOrders", 5);
        excel.Define("Secret", 3);
        excel.server.Object("RangeSecret").Returns(u"Comment", Answer::Object(excel.server.Object("Comment")));
        excel.server.Object("Comment").Returns(u"Text", Answer::Text(u"Author:\nWrite-only: set by the add-in"));
        excel.Define("Amount", 12);
        excel.Define("Broken", 4).Fails(u"RefersToRange", DISP_E_EXCEPTION, "not a range");
        excel.Define("Gone", 0);
        excel.Define("VeskGroupBad", 7).Fails(u"RefersToRange", DISP_E_EXCEPTION, "not a range");
        excel.Define("Print_Area", 1);
    }
    void TearDown() override { CancelRequested = 0; }

    ScriptedWorkbook excel;
    ExcelTestData data{"<Plain>plain</Plain><Secret>hidden</Secret>"
                       "<Amount NUMRECORDS='3' GROUPBY='0'><v>1</v><v>2</v><v>3</v></Amount>"
                       "<Unknown>x</Unknown><Broken>y</Broken><Gone>z</Gone>"
                       "<VeskGroupOrders>a field, not a group</VeskGroupOrders>"};
};

TEST_F(ScanNamesTest, SortsNamesIntoSingleValuesRecordFieldsAndGroups)
{
    TestableExcelGenerator generator(data);
    generator.StartOn(excel.Workbook());
    generator.ScanNames();

    EXPECT_THAT(generator.singleValueNames,
                ElementsAre(excel.Object("NamePlain"), excel.Object("NameVeskGroupOrders")));
    EXPECT_THAT(Names(generator.recordFields), ElementsAre("Amount"));
    EXPECT_STREQ(AttributeText(data.Field("Amount"), "EXCELROW"), "12");
    EXPECT_THAT(generator.groupNames, ElementsAre(excel.Object("NameVeskGroupA")));
    EXPECT_THAT(generator.groupScanRows, ElementsAre(10));
    // The name on row 0 is deleted from the workbook and its field from the data.
    EXPECT_THAT(excel.server.CallTexts(), Contains("call NameGone.delete()"));
    EXPECT_EQ(data.Field("Gone"), nullptr);
    EXPECT_NE(data.Field("VeskGroupOrders"), nullptr);
}

TEST_F(ScanNamesTest, CancelEndsTheFieldPassButNotTheGroupPass)
{
    CancelRequested = 1;
    TestableExcelGenerator generator(data);
    generator.StartOn(excel.Workbook());
    generator.ScanNames();
    EXPECT_THAT(generator.singleValueNames, IsEmpty());
    EXPECT_THAT(excel.CallsAfterStart(), IsEmpty());
}

TEST_F(ScanNamesTest, SingleValuesAreWrittenIntoTheirRangesWithAProgressStepEach)
{
    TestableExcelGenerator generator(data);
    generator.StartOn(excel.Workbook());
    generator.ScanNames();
    excel.server.ClearCalls();
    generator.FillSingleValues();
    EXPECT_THAT(excel.server.CallTexts(),
                ElementsAre("get NamePlain.name", "get NamePlain.refersToRange", "put RangePlain.Value = \"plain\"",
                            "get RangePlain.NumberFormat", "get NameVeskGroupOrders.name",
                            "get NameVeskGroupOrders.refersToRange",
                            "put RangeVeskGroupOrders.Value = \"a field, not a group\"",
                            "get RangeVeskGroupOrders.NumberFormat"));
}

TEST(ClassifyGroupFields, SplitsTheGroupsRecordFieldsIntoGroupingAndDetailFields)
{
    ScriptedWorkbook excel;
    for (const char* name : {"Region", "Amount", "Other", "Outside", "Flag"}) excel.Define(name, 1);
    excel.server.Object("RangeOther").Returns(u"Worksheet", Answer::Object(excel.server.Object("Sheet2")));
    ExcelTestData data("<Region NUMRECORDS='2' EXCELROW='10'/><Amount NUMRECORDS='2' GROUPBY='0' EXCELROW='12'/>"
                       "<Other NUMRECORDS='2' GROUPBY='0' EXCELROW='11'/><Outside NUMRECORDS='2' EXCELROW='30'/>"
                       "<Flag NUMRECORDS='2' EXCELROW='12'/>");
    TestableExcelGenerator generator(data);
    generator.StartOn(excel.Workbook());
    for (const char* name : {"Region", "Amount", "Other", "Outside", "Flag"})
        generator.recordFields.push_back(data.Field(name));

    generator.ClassifyGroupFields("Sheet1", 12, 16, 2);

    EXPECT_THAT(Names(generator.groupByFields), ElementsAre("Region"));
    // Flag shares the detail row 14 with Amount, so it is a detail field too.
    EXPECT_THAT(Names(generator.detailFields), ElementsAre("Amount", "Flag"));
    EXPECT_STREQ(AttributeText(data.Field("Region"), "EXCELROW"), "12");
    EXPECT_STREQ(AttributeText(data.Field("Amount"), "EXCELROW"), "14");
    EXPECT_STREQ(AttributeText(data.Field("Flag"), "CODENAME"), "Sheet1");
    EXPECT_EQ(AttributeText(data.Field("Region"), "CODENAME"), nullptr);
    // On another sheet, or outside the rows: untouched.
    EXPECT_STREQ(AttributeText(data.Field("Other"), "EXCELROW"), "11");
    EXPECT_EQ(AttributeText(data.Field("Other"), "CODENAME"), nullptr);
    EXPECT_STREQ(AttributeText(data.Field("Outside"), "EXCELROW"), "30");
}

TEST(FillGroups, AddsEachGroupsRowCountAndMovesItsFieldsByTheShift)
{
    ScriptedWorkbook excel;
    excel.Define("VeskGroupTop", 5);
    excel.Define("VeskGroupLow", 23);
    excel.server.Object("RangeVeskGroupLow").Returns(u"rows", Answer::Object(excel.server.Object("LowRows")));
    excel.server.Object("LowRows").Returns(u"count", Answer::Int(4));
    excel.server.Object("RangeVeskGroupTop").Returns(u"rows", Answer::Object(excel.server.Object("TopRows")));
    excel.server.Object("TopRows").Returns(u"count", Answer::Int(3));
    excel.Define("Total", 1);
    ExcelTestData data("<Total NUMRECORDS='2' GROUPBY='0' EXCELROW='22'><v>1</v><v>2</v></Total>");
    TestableExcelGenerator generator(data);
    generator.StartOn(excel.Workbook());
    generator.recordFields.push_back(data.Field("Total"));
    generator.groupNames = {excel.Object("NameVeskGroupTop"), excel.Object("NameVeskGroupLow")};
    for (IDispatch* name : generator.groupNames) name->AddRef();
    // The lower group was scanned at row 20; the upper one has pushed it down by 3.
    generator.groupScanRows = {5, 20};

    generator.FillGroups();

    std::vector<std::string> adds;
    for (const std::string& call : excel.server.CallTexts())
        if (call.rfind("call Properties.Add", 0) == 0) adds.push_back(call);
    EXPECT_THAT(adds, ElementsAre("call Properties.Add(\"VeskGroupTop\", false, 1, 3)",
                                  "call Properties.Add(\"VeskGroupLow\", false, 1, 4)"));
    EXPECT_STREQ(AttributeText(data.Field("Total"), "EXCELROW"), "25");
    EXPECT_THAT(Names(generator.detailFields), ElementsAre("Total"));
}

}  // namespace
