// The spreadsheet session as the application sees it: the workbook per
// document, the status line, showing, and closing after a failure.
#include <cstdio>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "generator/CancelRequested.h"
#include "tests/excel/ExcelTestData.h"
#include "tests/generator/TestDialog.h"
#include "tests/support/ScriptedServer.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

std::string Today()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char text[16];
    std::snprintf(text, sizeof text, "%02u/%02u/%02u", unsigned(now.wMonth), unsigned(now.wDay),
                  unsigned(now.wYear % 100));
    return text;
}

class ExcelSessionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CancelRequested = 0;
        excel.Root().Returns(u"Workbooks", Answer::Object(excel.Object("Workbooks")));
        excel.Object("Workbooks").ReturnsInTurn(u"Add", {Answer::Object(Workbook("Book1", "report1")),
                                                         Answer::Object(Workbook("Book2", "report2"))});
        excel.Root().Fails(u"AddIns", DISP_E_EXCEPTION, "no such add-in");
        excel.Root().Returns(u"ActiveCell", Answer::Object(excel.Object("Cell")));
        excel.Root().Returns(u"WindowState", Answer::Int(-4143));
        excel.Object("Names").Returns(u"count", Answer::Int(0));
    }
    void TearDown() override { CancelRequested = 0; }

    ScriptedObject& Workbook(const std::string& object, const char16_t* name)
    {
        ScriptedObject& workbook = excel.Object(object);
        workbook.Returns(u"Name", Answer::Text(name));
        workbook.Returns(u"CustomDocumentProperties", Answer::Object(excel.Object("Properties")));
        workbook.Returns(u"Names", Answer::Object(excel.Object("Names")));
        return workbook;
    }

    ScriptedObject& Workbook(const std::string& object, const char* name)
    {
        std::u16string wide(name, name + std::char_traits<char>::length(name));
        return Workbook(object, wide.c_str());
    }

    // Runs the generator over a data file with the given documents and
    // destroys it, as the worker does.
    int32_t RunOn(const std::string& documents, const std::string& templatePath = "/srv/templates/report.xltx")
    {
        std::string text = "<?xml version='1.0'?><export><META><TEMPLATE TYPE='2'>" + templatePath +
                           "</TEMPLATE></META><DOCUMENTS>" + documents + "</DOCUMENTS></export>";
        file = std::make_unique<DataFile>(folder.Write("data.xml", text).c_str());
        auto generator = std::make_unique<ExcelGenerator>(file->GetRoot(), dialog.Handle(), "Filling %1$s");
        int32_t result = generator->Run();
        generator.reset();
        return result;
    }

    std::vector<std::string> WorkbookCalls(const std::string& workbook)
    {
        std::vector<std::string> calls;
        for (const RecordedCall& call : excel.Calls())
            if (call.object == workbook) calls.push_back(call.Text());
        return calls;
    }

    // The run must leave no reference behind.
    void ExpectNoReferencesLeft()
    {
        for (const char* name : {"Application", "Workbooks", "Book1", "Book2", "Properties", "Names", "Cell", "AddIn"})
            EXPECT_EQ(excel.Object(name).References(), 0u) << name;
    }

    ScriptedServer excel{u"Excel.Application"};
    TestDialog dialog;
    TempFolder folder;
    std::unique_ptr<DataFile> file;
};

TEST_F(ExcelSessionTest, OneWorkbookIsAddedFilledAndShown)
{
    EXPECT_EQ(RunOn("<workbook><FIELDS/></workbook>"), 0);
    EXPECT_THAT(excel.CallTexts(),
                ElementsAre("put Application.Visible = 0", "get Application.Workbooks",
                            "call Workbooks.Add(\"/srv/templates/report.xltx\")", "get Book1.Name",
                            "get Book1.CustomDocumentProperties",
                            "call Properties.Add(\"Template\", false, 4, \"report.xltx\")",
                            "call Properties.Add(\"Generated\", false, 4, \"" + Today() + "\")",
                            "get Book1.names", "get Book1.names", "get Names.count",
                            "get Book1.CustomDocumentProperties",
                            "get Application.AddIns(\"VeskBaseAddin\")", "put Application.Visible = 1",
                            "get Application.ActiveCell", "call Cell.Select()", "call Book1.Activate()",
                            "get Application.WindowState", "call Application.SendKeys(\"{ESC}\")"));
    EXPECT_THAT(dialog.TextsOf(StatusLine), ElementsAre("Filling report1"));
    EXPECT_THAT(dialog.MessageBoxes(), IsEmpty());
    ExpectNoReferencesLeft();
}

TEST_F(ExcelSessionTest, EachDocumentGetsItsWorkbookAndOnlyTheLastIsActivated)
{
    EXPECT_EQ(RunOn("<a><FIELDS/></a><b><FIELDS/></b>"), 0);
    EXPECT_THAT(dialog.TextsOf(StatusLine), ElementsAre("Filling report1", "Filling report2"));
    EXPECT_THAT(WorkbookCalls("Book1"), ::testing::Not(::testing::Contains("call Book1.Activate()")));
    EXPECT_THAT(WorkbookCalls("Book2"), ::testing::Contains("call Book2.Activate()"));
    ExpectNoReferencesLeft();
}

TEST_F(ExcelSessionTest, EmptyTemplateIsResultCodeOneWithoutWorkbookOrShow)
{
    EXPECT_EQ(RunOn("<workbook><FIELDS/></workbook>", ""), 1);
    EXPECT_THAT(excel.CallTexts(), ElementsAre("put Application.Visible = 0"));
    ExpectNoReferencesLeft();
}

TEST_F(ExcelSessionTest, InstalledAddInIsReloadedAndAMinimisedWindowRestored)
{
    excel.Root().Returns(u"AddIns", Answer::Object(excel.Object("AddIn")));
    excel.Root().Returns(u"WindowState", Answer::Int(-4140));
    RunOn("<workbook><FIELDS/></workbook>");
    std::vector<std::string> calls = excel.CallTexts();
    std::vector<std::string> shown(calls.end() - 10, calls.end());
    EXPECT_THAT(shown, ElementsAre("get Application.AddIns(\"VeskBaseAddin\")", "put AddIn.Installed = 0",
                                   "put AddIn.Installed = 1", "put Application.Visible = 1",
                                   "get Application.ActiveCell", "call Cell.Select()", "call Book1.Activate()",
                                   "get Application.WindowState", "put Application.WindowState = -4143",
                                   "call Application.SendKeys(\"{ESC}\")"));
    ExpectNoReferencesLeft();
}

TEST_F(ExcelSessionTest, MaximisedWindowStaysMaximised)
{
    excel.Root().Returns(u"WindowState", Answer::Int(-4137));
    RunOn("<workbook><FIELDS/></workbook>");
    EXPECT_THAT(excel.CallTexts(), ::testing::Not(::testing::Contains(::testing::StartsWith(
                                       "put Application.WindowState"))));
}

TEST_F(ExcelSessionTest, WithoutDocumentsTheApplicationIsShownWithoutSelecting)
{
    EXPECT_EQ(RunOn(""), 0);
    EXPECT_THAT(excel.CallTexts(),
                ElementsAre("put Application.Visible = 0", "get Application.AddIns(\"VeskBaseAddin\")",
                            "put Application.Visible = 1", "get Application.WindowState",
                            "call Application.SendKeys(\"{ESC}\")"));
    EXPECT_THAT(dialog.MessageBoxes(), IsEmpty());
}

TEST_F(ExcelSessionTest, CancelShowsWithoutSelectingOrActivating)
{
    CancelRequested = 1;
    RunOn("<workbook><FIELDS/></workbook>");
    EXPECT_THAT(excel.CallTexts(),
                ElementsAre("put Application.Visible = 0", "get Application.AddIns(\"VeskBaseAddin\")",
                            "put Application.Visible = 1", "get Application.WindowState",
                            "call Application.SendKeys(\"{ESC}\")"));
}

TEST_F(ExcelSessionTest, FailureClosesTheWorkbookWithoutSavingAndQuits)
{
    excel.Object("Book2").Fails(u"CustomDocumentProperties", DISP_E_EXCEPTION, "refused");
    EXPECT_EQ(RunOn("<a><FIELDS/></a><b><FIELDS/></b>"), 0);
    std::vector<std::string> calls = excel.CallTexts();
    EXPECT_THAT(std::vector<std::string>(calls.end() - 2, calls.end()),
                ElementsAre("call Book2.Close(false)", "call Application.Quit()"));
    EXPECT_THAT(WorkbookCalls("Book1"), ::testing::Not(::testing::Contains("call Book1.Close(false)")));
    ASSERT_EQ(dialog.MessageBoxes().size(), 1u);
    EXPECT_THAT(dialog.MessageBoxes()[0].text, ::testing::HasSubstr("CustomDocumentProperties"));
    ExpectNoReferencesLeft();
}

}  // namespace
