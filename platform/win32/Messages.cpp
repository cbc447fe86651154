// Sending, posting and getting messages with the queue rules of Windows.
#include "platform/win32/ThreadQueue.h"
#include "platform/win32/WindowTable.h"
#include "platform/win32/windows.h"

using namespace win32;

LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    const std::shared_ptr<Window> window = FindWindowObject(hWnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    const std::shared_ptr<ThreadQueue> self = CurrentQueue();
    if (window->owner == self) {
        return CallWindowProcedure(hWnd, Msg, wParam, lParam);
    }
    auto message = std::make_shared<SentMessage>();
    message->hwnd = hWnd;
    message->message = Msg;
    message->wParam = wParam;
    message->lParam = lParam;
    message->sender = self;
    window->owner->Send(message);
    WaitUntilServed(*message);
    return message->result;
}

BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    const MSG message{hWnd, Msg, wParam, lParam, 0, {0, 0}};
    if (hWnd == nullptr) {
        return CurrentQueue()->Post(message) ? TRUE : FALSE;
    }
    const std::shared_ptr<Window> window = FindWindowObject(hWnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return window->owner->Post(message) ? TRUE : FALSE;
}

void WINAPI PostQuitMessage(int nExitCode) {
    CurrentQueue()->PostQuit(nExitCode);
}

BOOL WINAPI GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
    if (lpMsg == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    const std::shared_ptr<ThreadQueue> queue = CurrentQueue();
    for (;;) {
        queue->ServeSent();
        if (queue->TakePosted(*lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax)) {
            return lpMsg->message == WM_QUIT ? FALSE : TRUE;
        }
        queue->Wait();
    }
}

// No keyboard input reaches this platform's windows as messages, so there is nothing to translate.
BOOL WINAPI TranslateMessage(const MSG*) {
    return FALSE;
}

LRESULT WINAPI DispatchMessageA(const MSG* lpMsg) {
    if (lpMsg == nullptr || lpMsg->hwnd == nullptr) {
        return 0;
    }
    return CallWindowProcedure(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}
