#include "tests/generator/TestDialog.h"

namespace {
constexpr const char* DialogClass = "TolvaneTestDialog";
constexpr const char* TextClass = "TolvaneTestText";

// Texts set on the controls, by window; the controls' own procedure records them.
std::map<HWND, std::vector<std::string>>& TextLog() {
    static std::map<HWND, std::vector<std::string>> log;
    return log;
}

LRESULT CALLBACK TextControlProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETTEXT && lParam != 0) TextLog()[window].push_back(reinterpret_cast<const char*>(lParam));
    return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterClasses() {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = DialogClass;
    RegisterClassExA(&windowClass);
    windowClass.lpfnWndProc = TextControlProcedure;
    windowClass.lpszClassName = TextClass;
    RegisterClassExA(&windowClass);
}
}

TestDialog::TestDialog() {
    RegisterClasses();
    dialog = CreateWindowExA(0, DialogClass, "Tolvane", WS_POPUP | WS_CAPTION, 0, 0, 320, 110, nullptr,
                             nullptr, nullptr, nullptr);
    CreateWindowExA(0, "BUTTON", "Cancel", WS_CHILD, 0, 0, 75, 20, dialog, reinterpret_cast<HMENU>(2),
                    nullptr, nullptr);
    CreateWindowExA(0, TextClass, "Progress", WS_CHILD, 0, 0, 290, 20, dialog,
                    reinterpret_cast<HMENU>(StatusLine), nullptr, nullptr);
    CreateWindowExA(0, TextClass, "0%", WS_CHILD, 0, 0, 290, 20, dialog,
                    reinterpret_cast<HMENU>(Percentage), nullptr, nullptr);
    Clear();
}

TestDialog::~TestDialog() {
    TextLog().erase(GetDlgItem(dialog, StatusLine));
    TextLog().erase(GetDlgItem(dialog, Percentage));
    DestroyWindow(dialog);
}

std::vector<std::string> TestDialog::TextsOf(int control) const {
    const auto found = TextLog().find(GetDlgItem(dialog, control));
    return found == TextLog().end() ? std::vector<std::string>() : found->second;
}

void TestDialog::Clear() {
    TextLog().erase(GetDlgItem(dialog, StatusLine));
    TextLog().erase(GetDlgItem(dialog, Percentage));
    boxes.Clear();
}
