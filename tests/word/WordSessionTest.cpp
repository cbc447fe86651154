// Start, Show and Abandon of the Word generator against the scripted application.
#include <memory>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "generator/CancelRequested.h"
#include "tests/generator/DataFiles.h"
#include "tests/generator/TestDialog.h"
#include "tests/support/ScriptedServer.h"
#include "word/WordGenerator.h"

using ::testing::Contains;
using ::testing::ElementsAre;

namespace {

class PresetWordGenerator : public WordGenerator {
public:
    using WordGenerator::WordGenerator;
    void PresetResultCode(int32_t code) { resultCode = code; }
};

class WordSessionTest : public ::testing::Test {
protected:
    void SetUp() override { CancelRequested = 0; }

    int32_t Run(const char* dataFile, int32_t presetCode = 0) {
        data = LoadTestData("generator", dataFile);
        generator = std::make_unique<PresetWordGenerator>(data->GetRoot(), dialog.Handle(), "Filling %1$s");
        generator->PresetResultCode(presetCode);
        return generator->Run();
    }

    ScriptedServer word{u"Word.Application"};
    TestDialog dialog;
    std::unique_ptr<DataFile> data;
    std::unique_ptr<PresetWordGenerator> generator;
};

TEST_F(WordSessionTest, ShowSetsAMaximisedWindowBackToNormal) {
    word.Root().Returns(u"WindowState", Answer::Int(1));
    EXPECT_EQ(Run("no_documents.xml"), 0);
    EXPECT_THAT(word.CallTexts(),
                ElementsAre("put Application.Visible = 0", "put Application.Visible = 1",
                            "get Application.WindowState", "put Application.WindowState = 0",
                            "call Application.Activate()"));
}

TEST_F(WordSessionTest, ShowLeavesANormalWindowAlone) {
    word.Root().Returns(u"WindowState", Answer::Int(0));
    EXPECT_EQ(Run("no_documents.xml"), 0);
    EXPECT_THAT(word.CallTexts(),
                ElementsAre("put Application.Visible = 0", "put Application.Visible = 1",
                            "get Application.WindowState", "call Application.Activate()"));
}

TEST_F(WordSessionTest, PositiveResultCodeBeforeStartStartsNothing) {
    EXPECT_EQ(Run("three_documents.xml", 1), 1);
    EXPECT_EQ(word.Instances(), 0);
    EXPECT_TRUE(word.CallTexts().empty());
}

TEST_F(WordSessionTest, FailureInTheFirstDocumentQuitsWithoutSaving) {
    word.Root().Fails(u"Documents", DISP_E_EXCEPTION);
    EXPECT_EQ(Run("three_documents.xml"), 0);
    EXPECT_THAT(word.CallTexts(), Contains("call Application.Quit(false)"));
    ASSERT_EQ(dialog.MessageBoxes().size(), 1u);
    generator.reset();
    EXPECT_EQ(word.Root().References(), 0u);
}

}  // namespace
