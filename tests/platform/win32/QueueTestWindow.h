// A window whose procedure the message-queue tests call across threads.
#pragma once

#include <atomic>

#include <gtest/gtest.h>
#include <windows.h>

namespace queue_test {

constexpr UINT kDouble = WM_USER + 1;     // returns wParam * 2
constexpr UINT kStop = WM_USER + 2;       // ends the test's message loop
constexpr UINT kSendBack = WM_USER + 3;   // sends kDouble to the window in lParam
inline std::atomic<DWORD> procedureThread{0};

inline LRESULT CALLBACK TestProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
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

inline HWND CreateTestWindow() {
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
inline void PumpUntilStop() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0 && message.message != kStop) {
        DispatchMessageA(&message);
    }
}

}  // namespace queue_test
