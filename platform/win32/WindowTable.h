// The state of every window: owner thread, procedure, class, text, style,
// place, visibility and children. Backends only show what is kept here.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/win32/ResourceModule.h"
#include "platform/win32/ThreadQueue.h"
#include "platform/win32/windows.h"

namespace win32 {

enum class WindowKind { TopLevel, Dialog, Control };

struct Window {
    HWND handle = nullptr;
    std::shared_ptr<ThreadQueue> owner;
    WNDPROC procedure = nullptr;
    DLGPROC dialogProcedure = nullptr;
    WindowKind kind = WindowKind::TopLevel;
    std::string className;
    std::string name;  // stable name for records: "dialog:105", "dialog:105/106", "window:TOLVANE"
    std::string text;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect{};  // pixels; for a dialog and its controls, from the template's dialog units
    HWND parent = nullptr;
    int id = 0;
    bool visible = false;
    bool destroyed = false;
    HICON icon = nullptr;
    const DialogResource* dialog = nullptr;
    std::vector<HWND> children;
};

// A copy of a window's state, handed to backends outside the table's lock.
struct WindowView {
    HWND handle = nullptr;
    WindowKind kind = WindowKind::TopLevel;
    std::string className;
    std::string name;
    std::string text;
    DWORD style = 0;
    RECT rect{};
    HWND parent = nullptr;
    int id = 0;
    bool visible = false;
    HICON icon = nullptr;
    const DialogResource* dialog = nullptr;
};

struct WindowClass {
    std::string name;
    UINT style = 0;
    WNDPROC procedure = nullptr;
    HICON icon = nullptr;
    HICON smallIcon = nullptr;
};

// Guards every Window field; never held while a procedure or backend runs.
std::mutex& TableMutex();

HWND AddWindow(const std::shared_ptr<Window>& window);
std::shared_ptr<Window> FindWindowObject(HWND handle);
void RemoveWindow(HWND handle);
WindowView ViewOf(HWND handle);
// The most recently created dialog that still exists, or null.
HWND LatestDialog();

bool AddClass(const WindowClass& windowClass);
bool FindClass(const std::string& name, WindowClass& found);
// The icon of the program's first class that has one: what a desktop shows for the program.
HICON ProgramIcon();

// Runs the window's procedure on the calling thread; 0 when the window is gone.
LRESULT CallWindowProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);

// Procedures of the built-in classes.
LRESULT CALLBACK DialogWindowProcedure(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ControlWindowProcedure(HWND, UINT, WPARAM, LPARAM);

}  // namespace win32
