#include "shell/WinMain.h"

#include "resources/resource.h"
#include "shell/SharedState.h"
#include "shell/VersionQuery.h"
#include "shell/WindowProcedures.h"
#include "shell/Worker.h"

namespace {

void RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(WNDCLASSEXA);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP_ICON));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = WindowClassName;
    windowClass.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP_ICON));
    RegisterClassExA(&windowClass);
}

}  // namespace

// The show-window value is not used: the main window is never shown.
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int) {
    CommandLineText = lpCmdLine != nullptr ? lpCmdLine : "";
    InstanceHandle = hInstance;
    if (CommandLineText.empty()) {
        MessageBoxA(nullptr, "Usage: Tolvane <datafile>", "Message", MB_ICONWARNING);
        return 0;
    }
    switch (ReadVersionQuery(CommandLineText)) {
    case VersionQuery::Refused:
        ExitProcess(static_cast<UINT>(-1));
    case VersionQuery::Answered:
        return 0;
    case VersionQuery::None:
    case VersionQuery::Continue:
        break;
    }

    LoadStringA(hInstance, IDS_APP_TITLE, WindowTitle, sizeof WindowTitle);
    LoadStringA(hInstance, IDS_WINDOW_CLASS, WindowClassName, sizeof WindowClassName);
    RegisterMainWindowClass(hInstance);
    MainWindow = CreateWindowExA(0, WindowClassName, WindowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0, 500, 100,
                                 nullptr, nullptr, hInstance, nullptr);
    ProgressDialog = CreateDialogParamA(hInstance, MAKEINTRESOURCEA(IDD_PROGRESS), nullptr, ProgressDialogProc, 0);
    ShowWindow(ProgressDialog, SW_SHOW);
    StartWorker();

    // No dialog-message routing and no accelerators: Tab, Enter and Esc do nothing in the dialog.
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
