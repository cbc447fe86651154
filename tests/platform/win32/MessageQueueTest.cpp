#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/win32/RecordedUi.h"
#include "platform/win32/windows.h"

namespace {

constexpr UINT kDouble = WM_USER + 1;     // returns wParam * 2
constexpr UINT kStop = WM_USER + 2;       // ends the test's message loop
constexpr UINT kSendBack = WM_USER + 3;   // sends kDouble to the window in lParam
std::atomic<DWORD> procedureThread{0};

LRESULT CALLBACK TestProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kDouble:
        procedureThread = GetCurrentThreadId();
        return static_cast<LRESULT>(wParam * 2);
    case kSendBack:
        return SendMessageA(reinterpret_cast<HWND>(lParam), kDouble, wParam, 0) + 1;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

HWND CreateTestWindow() {
    static const bool registered = [] {
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = TestProcedure;
        windowClass.lpszClassName = "QueueTest";
        return RegisterClassExA(&windowClass) != 0;
    }();
    EXPECT_TRUE(registered);
    return CreateWindowExA(0, "QueueTest", "queue test", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr, nullptr,
                           nullptr, nullptr);
}

// Pumps the calling thread's queue until kStop arrives.
void PumpUntilStop() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0 && message.message != kStop) {
        DispatchMessageA(&message);
    }
}

TEST(MessageQueue, CrossThreadSendWaitsForTheOwnerAndReturnsTheResult) {
    const HWND window = CreateTestWindow();
    std::atomic<bool> returned{false};
    LRESULT result = 0;
    std::thread sender([&] {
        result = SendMessageA(window, kDouble, 21, 0);
        returned = true;
        PostMessageA(window, kStop, 0, 0);
    });
    Sleep(50);
    EXPECT_FALSE(returned) << "the send returned before the owner served it";
    PumpUntilStop();
    sender.join();
    EXPECT_EQ(42, result);
    EXPECT_EQ(GetCurrentThreadId(), procedureThread.load());
    DestroyWindow(window);
}

TEST(MessageQueue, SameThreadSendCallsTheProcedureDirectly) {
    const HWND window = CreateTestWindow();
    EXPECT_EQ(10, SendMessageA(window, kDouble, 5, 0));
    DestroyWindow(window);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(0, SendMessageA(window, kDouble, 5, 0));
}

TEST(MessageQueue, SentMessagesAreServedWhileAMessageBoxIsOpenOnTheOwnerThread) {
    const HWND window = CreateTestWindow();
    win32::record::HoldMessageBoxes(true);
    LRESULT result = 0;
    std::thread sender([&] {
        while (win32::record::OpenMessageBoxes() == 0) {
            Sleep(1);
        }
        result = SendMessageA(window, kDouble, 8, 0);
        win32::record::AnswerMessageBox(IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, MessageBoxA(window, "Waiting", "Message", MB_OK));
    sender.join();
    win32::record::HoldMessageBoxes(false);
    EXPECT_EQ(16, result);
    DestroyWindow(window);
}

TEST(MessageQueue, ABlockedSenderServesMessagesSentBackToIt) {
    const HWND mine = CreateTestWindow();
    std::atomic<HWND> theirs{nullptr};
    std::thread other([&] {
        theirs = CreateTestWindow();
        PumpUntilStop();
        DestroyWindow(theirs);
    });
    while (theirs == nullptr) {
        Sleep(1);
    }
    // Their procedure sends back to this thread while this thread waits for them.
    EXPECT_EQ(7, SendMessageA(theirs, kSendBack, 3, reinterpret_cast<LPARAM>(mine)));
    EXPECT_EQ(GetCurrentThreadId(), procedureThread.load());
    PostMessageA(theirs, kStop, 0, 0);
    other.join();
    DestroyWindow(mine);
}

TEST(MessageQueue, ASendToAWindowWhoseThreadEndedReturnsZero) {
    std::atomic<HWND> orphan{nullptr};
    std::thread([&] { orphan = CreateTestWindow(); }).join();
    EXPECT_EQ(0, SendMessageA(orphan, kDouble, 4, 0));
}

TEST(MessageQueue, QuitComesAfterThePostedMessagesWithItsCode) {
    const HWND window = CreateTestWindow();
    PostQuitMessage(3);
    PostMessageA(window, kDouble, 1, 0);
    MSG message;
    EXPECT_EQ(TRUE, GetMessageA(&message, nullptr, 0, 0));
    EXPECT_EQ(kDouble, message.message);
    EXPECT_EQ(window, message.hwnd);
    EXPECT_EQ(2, DispatchMessageA(&message));
    EXPECT_EQ(FALSE, GetMessageA(&message, nullptr, 0, 0));
    EXPECT_EQ(static_cast<UINT>(WM_QUIT), message.message);
    EXPECT_EQ(3u, message.wParam);
    DestroyWindow(window);
}

}  // namespace
