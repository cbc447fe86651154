// MessageBoxA: the backend shows the box; the asking thread keeps serving its
// queue until the box is answered, as a modal loop does.
#include "platform/win32/UiBackend.h"
#include "platform/win32/windows.h"

using namespace win32;

int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
    UiBackend& backend = Backend();
    if (hWnd != nullptr && !IsWindow(hWnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    MessageBoxRequest request;
    request.owner = hWnd;
    request.ownerName = hWnd != nullptr ? ViewOf(hWnd).name : "-";
    request.text = lpText != nullptr ? lpText : "";
    request.caption = lpCaption != nullptr ? lpCaption : "Error";
    request.type = uType;
    auto answer = std::make_shared<MessageBoxAnswer>(CurrentQueue());
    backend.ShowMessageBox(request, answer);
    PumpUntil([&answer] { return answer->Result() != 0; });
    return answer->Result();
}
