// A message box keeps serving sent messages. On Windows the box is a real
// window: the sender finds it by its caption and closes it.
#include <gtest/gtest.h>

#include <thread>

#include <windows.h>

#include "tests/platform/win32/QueueTestWindow.h"

namespace {

using namespace queue_test;

TEST(MessageQueue, SentMessagesAreServedWhileAMessageBoxIsOpenOnTheOwnerThread) {
    const HWND window = CreateTestWindow();
    LRESULT result = 0;
    std::thread sender([&] {
        HWND box = nullptr;
        for (int wait = 0; wait < 6000 && box == nullptr; ++wait) {
            box = FindWindowA(nullptr, "Waiting box");
            Sleep(10);
        }
        result = SendMessageA(window, kDouble, 8, 0);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(IDOK, MessageBoxA(window, "Waiting", "Waiting box", MB_OK));
    sender.join();
    EXPECT_EQ(16, result);
    DestroyWindow(window);
}

}  // namespace
