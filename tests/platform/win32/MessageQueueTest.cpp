#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include <windows.h>

#include "tests/platform/win32/QueueTestWindow.h"

namespace {

using namespace queue_test;

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
