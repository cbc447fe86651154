// Run's sequence, progress and cancel, driven with a small generator over
// real data files against the scripted automation server.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "automation/COMException.h"
#include "generator/CancelRequested.h"
#include "generator/Generator.h"
#include "tests/generator/DataFiles.h"
#include "tests/generator/TestDialog.h"
#include "tests/support/ScriptedServer.h"

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

// Starts the application, names each document it builds and takes one
// progress step per field element; a test hook runs after each step.
class ProbeGenerator : public Generator {
public:
    ProbeGenerator(Element* root, HWND dialog) : Generator(root, dialog, "Filling %1$s") {}

    void Start() override {
        if (resultCode > 0) return;
        session = new AutomationSession();
        application = session->StartApplication(WordApplication);
    }

    void BuildDocument(Element* document) override {
        if (!templatePath) resultCode = 1;
        if (resultCode > 0 || CancelRequested) return;
        built.push_back(ElementName(document));
        EXPECT_EQ(document, currentDocument);
        EXPECT_EQ(ChildByName(document, "FIELDS"), currentFields);
        for (Element* field = NextChild(currentFields, nullptr); field; field = NextChild(currentFields, field)) {
            if (resultCode > 0 || CancelRequested) return;
            StepProgress(false);
            if (afterStep) afterStep(*this);
        }
    }

    void Show() override {
        if (resultCode > 0) return;
        ++shows;
        session->PutPropertyInt(application, OLESTR("Visible"), 1);
    }

    void Abandon() override {
        abandonedWithApplication.push_back(application != nullptr);
        if (!application) return;
        VARIANT result = session->CallMethodWithBool(application, OLESTR("Quit"), false);
        VariantClear(&result);
    }

    int32_t& ResultCode() { return resultCode; }
    int32_t FieldsDone() const { return fieldsDone; }
    void StepWithoutFields() { StepProgress(false); }

    std::vector<std::string> built;
    int shows = 0;
    std::vector<bool> abandonedWithApplication;
    std::function<void(ProbeGenerator&)> afterStep;
};

class RunTest : public ::testing::Test {
protected:
    void SetUp() override { CancelRequested = 0; }
    void TearDown() override { CancelRequested = 0; }

    ProbeGenerator& Make(const std::string& dataFile) {
        data = LoadTestData("generator", dataFile);
        generator = std::make_unique<ProbeGenerator>(data->GetRoot(), dialog.Handle());
        return *generator;
    }

    std::vector<std::string> Percentages() const { return dialog.TextsOf(Percentage); }

    ScriptedServer word{u"Word.Application"};
    TestDialog dialog;
    std::unique_ptr<DataFile> data;
    std::unique_ptr<ProbeGenerator> generator;
};

TEST_F(RunTest, WorkedExampleShowsEachPercentageOnce) {
    ProbeGenerator& probe = Make("four_fields.xml");
    EXPECT_EQ(probe.Run(), 0);
    // The first step shows the reserved 10 again and sends nothing.
    EXPECT_THAT(Percentages(), ElementsAre("10%", "32%", "55%", "77%", "100%"));
    EXPECT_EQ(probe.FieldsDone(), 4);
    EXPECT_EQ(probe.shows, 1);
    EXPECT_THAT(word.CallTexts(), ElementsAre("put Application.Visible = 0", "put Application.Visible = 1"));
}

TEST_F(RunTest, MissingOrEmptyDocumentsGoStraightTo100AndStillShow) {
    for (const char* file : {"no_documents.xml", "empty_documents.xml"}) {
        SCOPED_TRACE(file);
        dialog.Clear();
        ProbeGenerator& probe = Make(file);
        EXPECT_EQ(probe.Run(), 0);
        EXPECT_THAT(probe.built, IsEmpty());
        EXPECT_THAT(Percentages(), ElementsAre("10%", "100%"));
        EXPECT_EQ(probe.shows, 1);
    }
}

TEST_F(RunTest, StepWithNothingCountedShowsTheBasePercentage) {
    ProbeGenerator& probe = Make("empty_documents.xml");
    probe.Run();
    probe.StepWithoutFields();
    EXPECT_THAT(Percentages(), ElementsAre("10%", "100%", "10%"));
}

TEST_F(RunTest, EveryDocumentsChildIsBuiltInOrderWhateverItsName) {
    ProbeGenerator& probe = Make("three_documents.xml");
    EXPECT_EQ(probe.Run(), 0);
    EXPECT_THAT(probe.built, ElementsAre("letter", "invoice", "reminder"));
    EXPECT_THAT(Percentages(), ElementsAre("10%", "40%", "70%", "100%"));
}

TEST_F(RunTest, FailingStartAbandonsWithoutApplicationAndShowsOneErrorBox) {
    TestClass broken(u"Word.Application");
    ProbeGenerator& probe = Make("three_documents.xml");
    EXPECT_EQ(probe.Run(), 0);
    EXPECT_THAT(probe.abandonedWithApplication, ElementsAre(false));
    EXPECT_THAT(probe.built, IsEmpty());
    EXPECT_EQ(probe.shows, 0);
    std::vector<ShownBox> boxes = dialog.MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_EQ(boxes[0].text, "Word not registered properly");
    EXPECT_EQ(boxes[0].owner, nullptr);
    if (boxes[0].flags) {  // Windows shows tests no box flags
        EXPECT_EQ(*boxes[0].flags, static_cast<UINT>(MB_ICONERROR | MB_SETFOREGROUND));
    }
}

TEST_F(RunTest, FailureAfterStartQuitsTheApplicationAndReportsOnce) {
    word.Root().Fails(u"Visible", DISP_E_EXCEPTION);
    ProbeGenerator& probe = Make("three_documents.xml");
    EXPECT_EQ(probe.Run(), 0);
    EXPECT_THAT(probe.abandonedWithApplication, ElementsAre(true));
    EXPECT_THAT(word.CallTexts(), Contains("call Application.Quit(false)"));
    std::vector<ShownBox> boxes = dialog.MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "IDispatch::Invoke(\"Visible\"=00000001) failed w/err 0x80020009");
}

TEST_F(RunTest, FailureInAbandonLeavesRunAndTheFirstFailureIsNotShown) {
    word.Root().Fails(u"Visible", DISP_E_EXCEPTION).Fails(u"Quit", DISP_E_EXCEPTION);
    ProbeGenerator& probe = Make("three_documents.xml");
    try {
        probe.Run();
        ADD_FAILURE() << "the failure of Quit should leave Run";
    } catch (const COMException& failure) {
        EXPECT_EQ(failure.message, "IDispatch::Invoke(\"Quit\"=00000002) failed w/err 0x80020009");
    }
    EXPECT_THAT(dialog.MessageBoxes(), IsEmpty());
}

TEST_F(RunTest, ResultCodeInTheFirstDocumentSkipsTheRest) {
    ProbeGenerator& probe = Make("three_documents.xml");
    probe.afterStep = [](ProbeGenerator& self) { self.ResultCode() = 1; };
    EXPECT_EQ(probe.Run(), 1);
    EXPECT_THAT(probe.built, ElementsAre("letter"));
    EXPECT_EQ(probe.shows, 0);
    // The application stays hidden: Show put nothing.
    EXPECT_THAT(word.CallTexts(), ElementsAre("put Application.Visible = 0"));
    EXPECT_THAT(dialog.MessageBoxes(), IsEmpty());
}

TEST_F(RunTest, MissingTemplateElementLeavesThePathUnsetForCode1) {
    ProbeGenerator& probe = Make("no_template.xml");
    EXPECT_EQ(probe.Run(), 1);
    EXPECT_THAT(probe.built, IsEmpty());
    EXPECT_EQ(probe.shows, 0);
}

TEST_F(RunTest, CancelDuringTheThirdOfTenDocumentsJumpsTo100AndShows) {
    ProbeGenerator& probe = Make("ten_documents.xml");
    probe.afterStep = [](ProbeGenerator& self) {
        if (self.built.size() == 3) CancelRequested = 1;
    };
    EXPECT_EQ(probe.Run(), 0);
    EXPECT_THAT(probe.built, ElementsAre("doc1", "doc2", "doc3"));
    // 20 fields: steps 0..4 give 10, 14, 19, 23, 28; then the final 100.
    EXPECT_THAT(Percentages(), ElementsAre("10%", "14%", "19%", "23%", "28%", "100%"));
    EXPECT_EQ(probe.shows, 1);
    EXPECT_THAT(dialog.MessageBoxes(), IsEmpty());
}

TEST_F(RunTest, DestroyingTheGeneratorReleasesTheApplication) {
    ProbeGenerator& probe = Make("three_documents.xml");
    probe.Run();
    EXPECT_GT(word.Root().References(), 0u);
    generator.reset();
    EXPECT_EQ(word.Root().References(), 0u);
}

TEST_F(RunTest, ManyMoreFieldsThanPercentPointsSendEachPercentageOnce) {
    ProbeGenerator& probe = Make("many_fields.xml");
    probe.Run();
    EXPECT_EQ(probe.FieldsDone(), 450);
    std::vector<std::string> texts = Percentages();
    // 10 to 99 step by step, then 100: no percentage sent twice.
    ASSERT_EQ(texts.size(), 91u);
    for (size_t i = 0; i < 90; ++i) EXPECT_EQ(texts[i], std::to_string(10 + i) + "%");
    EXPECT_EQ(texts.back(), "100%");
}

}  // namespace
