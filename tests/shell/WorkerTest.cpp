// The whole program in this process: start-up, the worker's run and report,
// release and close. Run in-process so that the sanitizers see every object
// the worker makes and frees (the built binary ends through _exit).
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/host/RegisterServers.h"
#include "platform/win32/RecordedUi.h"
#include "platform/win32/ResourceModule.h"
#include "resources/ProgramResources.h"
#include "shell/SharedState.h"
#include "shell/WinMain.h"
#include "tests/generator/DataFiles.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using win32::record::Event;
using win32::record::EventKind;

namespace {

class WorkerTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The pointers of an earlier run are left dangling by design.
        SharedDataFile = nullptr;
        SharedGenerator = nullptr;
        TitleText = CancelText = InitializeText = ProgressText = ErrorWordText = nullptr;
        CancelRequested = 0;
        char pattern[] = "/tmp/tolvane-worker-XXXXXX";
        folder = mkdtemp(pattern);
        std::filesystem::create_directory(folder + "/out");
        setenv("TOLVANE_OUTPUT_DIR", (folder + "/out").c_str(), 1);
        win32::record::ClearEvents();
        RegisterOfficeServers();
    }

    void TearDown() override { std::filesystem::remove_all(folder); }

    int RunProgram(std::string commandLine) {
        return WinMain(InstanceOf(ProgramResources()), nullptr, commandLine.data(), 0);
    }

    std::string WriteDataFile(const std::string& text) {
        std::string path = folder + "/data.xml";
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    static std::vector<Event> Boxes() {
        std::vector<Event> boxes;
        for (const Event& event : win32::record::Events())
            if (event.kind == EventKind::MessageBox) boxes.push_back(event);
        return boxes;
    }

    static std::vector<std::string> TextsOf(const std::string& window) {
        std::vector<std::string> texts;
        for (const Event& event : win32::record::Events())
            if (event.kind == EventKind::Text && event.windowName == window) texts.push_back(event.text);
        return texts;
    }

    std::vector<std::string> Written() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder + "/out"))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string folder;
};

TEST_F(WorkerTest, WordExampleRunsAndEveryObjectIsReleased) {
    std::string path = CopyWithPlaceholders(SourceFolder() + "/examples/invoice.xml", folder);
    EXPECT_EQ(RunProgram(path), 0);
    EXPECT_THAT(Boxes(), IsEmpty());
    EXPECT_THAT(TextsOf("dialog:105"), ElementsAre("Creating invoices"));
    EXPECT_THAT(TextsOf("dialog:105/2"), ElementsAre("Cancel"));
    EXPECT_THAT(TextsOf("dialog:105/106"),
                ElementsAre("Starting the word processor", "Filling Document1", "Filling Document2"));
    EXPECT_EQ(TextsOf("dialog:105/107").back(), "100%");
    EXPECT_EQ(win32::record::Events().back().kind, EventKind::Destroy);
    EXPECT_THAT(Written(), ElementsAre("Document1.docx", "Document2.docx"));
}

TEST_F(WorkerTest, LoadFailureShowsTheLoaderTextWithoutOwner) {
    std::string missing = folder + "/missing.xml";
    EXPECT_EQ(RunProgram(missing), 0);
    std::vector<Event> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_EQ(boxes[0].window, nullptr);
    EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_ICONERROR | MB_SETFOREGROUND));
    EXPECT_EQ(boxes[0].text, "Unable to load file " + missing + " (error #2: Input/Output error)\n");
    EXPECT_THAT(TextsOf("dialog:105"), IsEmpty());
}

TEST_F(WorkerTest, WrongTypeIsReportedToTheMainWindowAndRunsNothing) {
    std::string path = WriteDataFile(
        "<x><META><TEMPLATE TYPE='abc'>t.dotx</TEMPLATE><ERRORWORD>Incomplete</ERRORWORD></META></x>");
    EXPECT_EQ(RunProgram(path), 0);
    std::vector<Event> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Something is wrong with the type (1=word, 2=excel) meta data in the xml file!");
    EXPECT_EQ(boxes[0].caption, "Message");
    EXPECT_EQ(boxes[0].window, MainWindow);
    EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_ICONERROR));
    EXPECT_THAT(TextsOf("dialog:105/107"), IsEmpty());
}

TEST_F(WorkerTest, PositiveResultCodeGivesTheErrorWordMessage) {
    struct Case {
        const char* element;
        const char* message;
    };
    // An empty ERRORWORD reads as one blank, the only separator there is.
    for (const Case& c : {Case{"<ERRORWORD>The workbook is incomplete</ERRORWORD>", "The workbook is incomplete(ref:1)"},
                          Case{"<ERRORWORD/>", " (ref:1)"}}) {
        SCOPED_TRACE(c.element);
        win32::record::ClearEvents();
        std::string path = WriteDataFile(std::string("<x><META><TEMPLATE TYPE='2'></TEMPLATE>") + c.element +
                                         "</META><DOCUMENTS><book><FIELDS/></book></DOCUMENTS></x>");
        EXPECT_EQ(RunProgram(path), 0);
        std::vector<Event> boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, c.message);
        EXPECT_EQ(boxes[0].caption, "Message");
        EXPECT_EQ(boxes[0].window, MainWindow);
        EXPECT_THAT(Written(), IsEmpty());
    }
}

}  // namespace
