// A message box keeps serving sent messages; the recording backend holds the box open.
#include <gtest/gtest.h>

#include <thread>

#include "platform/win32/RecordedUi.h"
#include "platform/win32/windows.h"
#include "tests/platform/win32/QueueTestWindow.h"

namespace {

using namespace queue_test;

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

}  // namespace
