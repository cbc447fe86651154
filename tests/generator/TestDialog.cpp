#include "tests/generator/TestDialog.h"

namespace {
constexpr const char* ClassName = "TolvaneTestDialog";

void RegisterDialogClass() {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = ClassName;
    RegisterClassExA(&windowClass);
}
}

TestDialog::TestDialog() {
    RegisterDialogClass();
    dialog = CreateWindowExA(0, ClassName, "Tolvane", WS_POPUP | WS_CAPTION, 0, 0, 320, 110, nullptr,
                             nullptr, nullptr, nullptr);
    CreateWindowExA(0, "BUTTON", "Cancel", WS_CHILD, 0, 0, 75, 20, dialog, reinterpret_cast<HMENU>(2),
                    nullptr, nullptr);
    CreateWindowExA(0, "STATIC", "Progress", WS_CHILD, 0, 0, 290, 20, dialog,
                    reinterpret_cast<HMENU>(StatusLine), nullptr, nullptr);
    CreateWindowExA(0, "STATIC", "0%", WS_CHILD, 0, 0, 290, 20, dialog,
                    reinterpret_cast<HMENU>(Percentage), nullptr, nullptr);
    win32::record::ClearEvents();
}

TestDialog::~TestDialog() {
    DestroyWindow(dialog);
}

std::vector<std::string> TestDialog::TextsOf(int control) const {
    HWND item = GetDlgItem(dialog, control);
    std::vector<std::string> texts;
    for (const win32::record::Event& event : win32::record::Events())
        if (event.kind == win32::record::EventKind::Text && event.window == item) texts.push_back(event.text);
    return texts;
}

std::vector<win32::record::Event> TestDialog::MessageBoxes() const {
    std::vector<win32::record::Event> boxes;
    for (const win32::record::Event& event : win32::record::Events())
        if (event.kind == win32::record::EventKind::MessageBox) boxes.push_back(event);
    return boxes;
}
