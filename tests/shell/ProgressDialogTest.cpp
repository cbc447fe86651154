#include <gtest/gtest.h>

#include <thread>

#include "platform/win32/RecordedUi.h"
#include "platform/win32/windows.h"
#include "resources/ProgramResources.h"
#include "resources/resource.h"
#include "shell/SharedState.h"
#include "shell/WindowProcedures.h"

namespace {

// Stand-ins the dialog only compares with null.
char anyText[] = "text";
char anyObject;

void SetSharedObjects(bool exist) {
    SharedDataFile = exist ? reinterpret_cast<DataFile*>(&anyObject) : nullptr;
    TitleText = CancelText = InitializeText = ProgressText = ErrorWordText = exist ? anyText : nullptr;
    SharedGenerator = exist ? reinterpret_cast<Generator*>(&anyObject) : nullptr;
}

class ProgressDialogTest : public testing::Test {
protected:
    void SetUp() override {
        SetSharedObjects(false);
        CancelRequested = 0;
        dialog = CreateDialogParamA(InstanceOf(ProgramResources()), MAKEINTRESOURCEA(IDD_PROGRESS), nullptr,
                                    ProgressDialogProc, 0);
        ASSERT_NE(nullptr, dialog);
    }
    void TearDown() override {
        SetSharedObjects(false);
        CancelRequested = 0;
        if (IsWindow(dialog)) {
            DestroyWindow(dialog);
        }
    }
    // Only asked when a quit message is expected: otherwise GetMessageA would wait.
    static bool QuitPosted() {
        MSG message;
        return GetMessageA(&message, nullptr, 0, 0) == FALSE;
    }
    HWND dialog = nullptr;
};

TEST_F(ProgressDialogTest, ShowsTheInitialTexts) {
    char text[100];
    GetWindowTextA(dialog, text, sizeof text);
    EXPECT_STREQ("Tolvane", text);
    GetDlgItemTextA(dialog, IDCANCEL, text, sizeof text);
    EXPECT_STREQ("Cancel", text);
    GetDlgItemTextA(dialog, IDC_STATUS, text, sizeof text);
    EXPECT_STREQ("Progress", text);
    GetDlgItemTextA(dialog, IDC_PERCENT, text, sizeof text);
    EXPECT_STREQ("0%", text);
    EXPECT_TRUE(IsWindowVisible(dialog));
}

TEST_F(ProgressDialogTest, CancelBeforeTheGeneratorExistsEndsTheProgram) {
    SetSharedObjects(true);
    SharedGenerator = nullptr;
    win32::record::PressCancel(dialog);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(0, CancelRequested);
    EXPECT_TRUE(QuitPosted());
}

TEST_F(ProgressDialogTest, CancelDuringGenerationOnlyAsksTheRunToStop) {
    SetSharedObjects(true);
    win32::record::PressCancel(dialog);
    EXPECT_EQ(1, CancelRequested);
    EXPECT_TRUE(IsWindow(dialog));
    win32::record::PressCancel(dialog);
    EXPECT_EQ(1, CancelRequested);
    EXPECT_TRUE(IsWindow(dialog));
}

TEST_F(ProgressDialogTest, TheWorkersCloseCommandClosesTheDialogAndEndsTheLoop) {
    SetSharedObjects(true);
    std::thread worker([this] {
        SetWindowTextA(dialog, "Invoices");
        SendMessageA(dialog, WM_COMMAND, IDM_CLOSE_PROGRESS, 0);
    });
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        DispatchMessageA(&message);
    }
    worker.join();
    EXPECT_EQ(0u, message.wParam);
    EXPECT_FALSE(IsWindow(dialog));
}

TEST_F(ProgressDialogTest, OtherCommandsAndMessagesAreLeftAlone) {
    EXPECT_EQ(FALSE, ProgressDialogProc(dialog, WM_COMMAND, IDOK, 0));
    EXPECT_EQ(FALSE, ProgressDialogProc(dialog, WM_USER, 0, 0));
    EXPECT_EQ(TRUE, ProgressDialogProc(dialog, WM_INITDIALOG, 0, 0));
    // Only the low word names the command: a notification code in the high word changes nothing.
    SetSharedObjects(true);
    EXPECT_EQ(TRUE, ProgressDialogProc(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, 1), 0));
    EXPECT_EQ(1, CancelRequested);
    EXPECT_TRUE(IsWindow(dialog));
}

}  // namespace
