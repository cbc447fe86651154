#include "resources/resource.h"
#include "shell/SharedState.h"
#include "shell/WindowProcedures.h"

// When Cancel ends the program early the worker may still be using the shared
// objects, so nothing is freed here: the process ends right after.
INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDCANCEL:
            if (SharedObjectsExist()) {
                CancelRequested = 1;
            } else {
                EndDialog(dialog, 0);
                PostQuitMessage(0);
            }
            return TRUE;
        case IDM_CLOSE_PROGRESS:
            EndDialog(dialog, 0);
            PostQuitMessage(0);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}
