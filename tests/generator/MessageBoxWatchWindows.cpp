#include "tests/generator/MessageBoxWatch.h"

#include <set>

struct MessageBoxWatchState {
    HHOOK hook = nullptr;
    std::vector<ShownBox> boxes;
    std::set<HWND> answered;
};

namespace {

// The static control that holds a message box's text.
constexpr int BoxTextControl = 0xFFFF;

// One watch per thread: the hook procedure has no other way to find it.
thread_local MessageBoxWatchState* current = nullptr;

std::string TextOf(HWND window)
{
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

LRESULT CALLBACK OnWindowEvent(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && current != nullptr) {
        HWND window = reinterpret_cast<HWND>(wParam);
        char className[16] = "";
        GetClassNameA(window, className, sizeof className);
        HWND textControl = GetDlgItem(window, BoxTextControl);
        if (std::string(className) == "#32770" && textControl != nullptr &&
            current->answered.insert(window).second) {
            current->boxes.push_back({TextOf(window), TextOf(textControl), GetWindow(window, GW_OWNER), std::nullopt});
            PostMessageA(window, WM_COMMAND, IDOK, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

MessageBoxWatch::MessageBoxWatch() : state(new MessageBoxWatchState)
{
    state->hook = SetWindowsHookExA(WH_CBT, OnWindowEvent, nullptr, GetCurrentThreadId());
    current = state;
}

MessageBoxWatch::~MessageBoxWatch()
{
    UnhookWindowsHookEx(state->hook);
    current = nullptr;
    delete state;
}

std::vector<ShownBox> MessageBoxWatch::Boxes() const { return state->boxes; }

void MessageBoxWatch::Clear() { state->boxes.clear(); }
