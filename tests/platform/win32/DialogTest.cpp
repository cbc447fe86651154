#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/win32/RecordedUi.h"
#include "platform/win32/ResourceModule.h"
#include "platform/win32/windows.h"

namespace {

using win32::record::Event;
using win32::record::EventKind;

constexpr DialogItemResource kItems[] = {
    {"Button", IDCANCEL, 10, 40, 50, 14, WS_CHILD | WS_VISIBLE | WS_TABSTOP, "Stop"},
    {"Static", 20, 10, 10, 100, 14, WS_CHILD | WS_VISIBLE | SS_CENTER, "Idle"},
};
constexpr DialogResource kDialogs[] = {
    {300, WS_VISIBLE | WS_CAPTION | DS_MODALFRAME, 0, 0, 120, 60, "Test dialog", "MS Sans Serif", 8, kItems},
};
const ResourceModule kModule{{}, {}, kDialogs, {1, {1, 0, 0, 0}, {1, 0, 0, 0}}};

struct Seen {
    std::vector<UINT> messages;
    LPARAM initParam = 0;
    HWND initFocus = nullptr;
    int cancels = 0;
};
Seen seen;

INT_PTR CALLBACK TestDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    seen.messages.push_back(message);
    if (message == WM_INITDIALOG) {
        seen.initParam = lParam;
        seen.initFocus = reinterpret_cast<HWND>(wParam);
        return TRUE;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        if (++seen.cancels == 2) {
            EndDialog(dialog, 0);
            PostQuitMessage(0);
        }
        return TRUE;
    }
    return FALSE;
}

HWND CreateTestDialog() {
    seen = Seen{};
    win32::record::ClearEvents();
    return CreateDialogParamA(InstanceOf(kModule), MAKEINTRESOURCEA(300), nullptr, TestDialogProc, 77);
}

std::vector<std::string> Lines() {
    std::vector<std::string> lines;
    for (const Event& event : win32::record::Events()) {
        lines.push_back(win32::record::FormatEvent(event));
    }
    return lines;
}

TEST(Dialog, IsBuiltFromTheTemplateThenInitialisedThenShown) {
    const HWND dialog = CreateTestDialog();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(77, seen.initParam);
    EXPECT_EQ(GetDlgItem(dialog, IDCANCEL), seen.initFocus);
    EXPECT_TRUE(IsWindowVisible(dialog));
    char text[32];
    EXPECT_EQ(4u, GetDlgItemTextA(dialog, 20, text, sizeof text));
    EXPECT_STREQ("Idle", text);
    EXPECT_EQ(dialog, GetParent(GetDlgItem(dialog, 20)));
    EXPECT_EQ(20, GetDlgCtrlID(GetDlgItem(dialog, 20)));
    const std::vector<std::string> expected{
        "create\tdialog:300\tTest dialog", "create\tdialog:300/2\tStop", "create\tdialog:300/20\tIdle",
        "show\tdialog:300"};
    EXPECT_EQ(expected, Lines());
    EndDialog(dialog, 0);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_FALSE(IsWindow(GetDlgItem(dialog, 20)));
}

TEST(Dialog, AnUnknownTemplateGivesNoDialog) {
    EXPECT_EQ(nullptr, CreateDialogParamA(InstanceOf(kModule), MAKEINTRESOURCEA(301), nullptr, TestDialogProc, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND), GetLastError());
}

TEST(Dialog, TextsSentFromAnotherThreadAreSetByTheOwnerBeforeTheSendReturns) {
    const HWND dialog = CreateTestDialog();
    win32::record::ClearEvents();
    std::atomic<DWORD> recordedOn{0};
    win32::record::SetHook([&](const Event&) { recordedOn = GetCurrentThreadId(); });
    std::thread worker([&] {
        SetWindowTextA(dialog, "Loading");
        SetDlgItemTextA(dialog, 20, "Step\t1");
        char text[32];
        GetDlgItemTextA(dialog, 20, text, sizeof text);
        EXPECT_STREQ("Step\t1", text);
        win32::record::PressCancel(dialog);
        win32::record::PressCancel(dialog);
    });
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        DispatchMessageA(&message);
    }
    worker.join();
    win32::record::SetHook(nullptr);
    EXPECT_EQ(GetCurrentThreadId(), recordedOn.load());
    const std::vector<std::string> expected{"text\tdialog:300\tLoading", "text\tdialog:300/20\tStep\\t1",
                                            "hide\tdialog:300", "destroy\tdialog:300/2",
                                            "destroy\tdialog:300/20", "destroy\tdialog:300"};
    EXPECT_EQ(expected, Lines());
    EXPECT_FALSE(IsWindow(dialog));
}

TEST(Dialog, AHookCanPressCancelAtAChosenEvent) {
    const HWND dialog = CreateTestDialog();
    win32::record::SetHook([dialog](const Event& event) {
        if (event.kind == EventKind::Text && event.text == "now") {
            win32::record::PressCancel(dialog);
        }
    });
    SetDlgItemTextA(dialog, 20, "not yet");
    EXPECT_EQ(0, seen.cancels);
    SetDlgItemTextA(dialog, 20, "now");
    EXPECT_EQ(1, seen.cancels);
    win32::record::SetHook(nullptr);
    SendMessageA(dialog, WM_CLOSE, 0, 0);  // closing presses Cancel too
    EXPECT_EQ(2, seen.cancels);
    EXPECT_FALSE(IsWindow(dialog));
    MSG message;
    EXPECT_EQ(FALSE, GetMessageA(&message, nullptr, 0, 0));
}

TEST(Dialog, MessageBoxesAreRecordedWithOwnerFlagsAndCaption) {
    const HWND dialog = CreateTestDialog();
    win32::record::ClearEvents();
    std::thread worker([dialog] {
        EXPECT_EQ(IDOK, MessageBoxA(dialog, "Line 1\nLine 2", "Message", MB_ICONERROR));
        EXPECT_EQ(IDOK, MessageBoxA(nullptr, "Failed", nullptr, MB_ICONERROR | MB_SETFOREGROUND));
    });
    worker.join();
    const std::vector<std::string> expected{"box\tdialog:300\t0x00000010\tMessage\tLine 1\\nLine 2",
                                            "box\t-\t0x00010010\tError\tFailed"};
    EXPECT_EQ(expected, Lines());
    EXPECT_EQ(0, MessageBoxA(reinterpret_cast<HWND>(0x4), "x", "y", MB_OK));
    EndDialog(dialog, 0);
}

}  // namespace
