// Window classes and windows: creation, text, visibility, destruction, painting.
#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>

#include "platform/win32/UiBackend.h"
#include "platform/win32/WindowTable.h"
#include "platform/win32/windows.h"

namespace win32 {

namespace {

void AddSystemClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        AddClass(WindowClass{"Button", 0, ControlWindowProcedure, nullptr, nullptr});
        AddClass(WindowClass{"Static", 0, ControlWindowProcedure, nullptr, nullptr});
        AddClass(WindowClass{"#32770", 0, DialogWindowProcedure, nullptr, nullptr});
    });
}

// Sets a field of a live window under the table's lock; false when it is gone.
template <typename Change>
bool ChangeWindow(HWND handle, Change change) {
    const std::shared_ptr<Window> window = FindWindowObject(handle);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    std::lock_guard lock(TableMutex());
    if (window->destroyed) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    change(*window);
    return true;
}

}  // namespace

LRESULT CALLBACK ControlWindowProcedure(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hWnd, Msg, wParam, lParam);
}

}  // namespace win32

using namespace win32;

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* lpwcx) {
    AddSystemClasses();
    if (lpwcx == nullptr || lpwcx->cbSize != sizeof(WNDCLASSEXA) || lpwcx->lpszClassName == nullptr ||
        IS_INTRESOURCE(lpwcx->lpszClassName) || lpwcx->lpfnWndProc == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    static std::atomic<ATOM> nextAtom{0xC000};
    if (!AddClass(WindowClass{lpwcx->lpszClassName, lpwcx->style, lpwcx->lpfnWndProc, lpwcx->hIcon,
                              lpwcx->hIconSm != nullptr ? lpwcx->hIconSm : lpwcx->hIcon})) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    return nextAtom++;
}

HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X,
                            int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE,
                            LPVOID lpParam) {
    AddSystemClasses();
    Backend();
    WindowClass windowClass;
    if (lpClassName == nullptr || IS_INTRESOURCE(lpClassName) || !FindClass(lpClassName, windowClass)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const bool child = (dwStyle & WS_CHILD) != 0;
    std::shared_ptr<Window> parent;
    if (hWndParent != nullptr && !(parent = FindWindowObject(hWndParent))) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    auto window = std::make_shared<Window>();
    window->owner = CurrentQueue();
    window->procedure = windowClass.procedure;
    window->kind = child ? WindowKind::Control : WindowKind::TopLevel;
    window->className = windowClass.name;
    window->text = lpWindowName != nullptr ? lpWindowName : "";
    window->style = dwStyle & ~static_cast<DWORD>(WS_VISIBLE);
    window->exStyle = dwExStyle;
    const LONG left = X == CW_USEDEFAULT ? 0 : X;
    const LONG top = X == CW_USEDEFAULT || Y == CW_USEDEFAULT ? 0 : Y;
    window->rect = RECT{left, top, left + (nWidth == CW_USEDEFAULT ? 0 : nWidth),
                        top + (nHeight == CW_USEDEFAULT ? 0 : nHeight)};
    window->icon = windowClass.icon;
    if (child) {
        window->parent = hWndParent;
        window->id = static_cast<int>(reinterpret_cast<INT_PTR>(hMenu));
        window->name = (parent ? parent->name : "window:") + "/" + std::to_string(window->id);
    } else {
        window->name = "window:" + windowClass.name;
    }
    const HWND handle = AddWindow(window);
    Backend().Created(ViewOf(handle));
    CREATESTRUCTA create{lpParam, nullptr, hMenu, hWndParent, nHeight, nWidth, Y, X,
                         static_cast<LONG>(dwStyle), lpWindowName, lpClassName, dwExStyle};
    if (!CallWindowProcedure(handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create)) ||
        CallWindowProcedure(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    if ((dwStyle & WS_VISIBLE) != 0) {
        ShowWindow(handle, SW_SHOW);
    }
    return handle;
}

LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    switch (Msg) {
    case WM_NCCREATE:
        return TRUE;
    case WM_SETTEXT: {
        const char* text = reinterpret_cast<const char*>(lParam);
        if (!ChangeWindow(hWnd, [text](Window& w) { w.text = text != nullptr ? text : ""; })) {
            return FALSE;
        }
        Backend().TextChanged(ViewOf(hWnd));
        return TRUE;
    }
    case WM_GETTEXT:
        return GetWindowTextA(hWnd, reinterpret_cast<LPSTR>(lParam), static_cast<int>(wParam));
    case WM_GETTEXTLENGTH:
        return GetWindowTextLengthA(hWnd);
    case WM_CLOSE:
        DestroyWindow(hWnd);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(hWnd, &paint);
        EndPaint(hWnd, &paint);
        return 0;
    }
    default:
        return 0;
    }
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
    const std::shared_ptr<Window> window = FindWindowObject(hWnd);
    if (!window || !IsWindow(hWnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (window->kind != WindowKind::Control) {
        ShowWindow(hWnd, SW_HIDE);
    }
    CallWindowProcedure(hWnd, WM_DESTROY, 0, 0);
    std::vector<HWND> children;
    {
        std::lock_guard lock(TableMutex());
        children = window->children;
    }
    for (HWND child : children) {
        DestroyWindow(child);
    }
    CallWindowProcedure(hWnd, WM_NCDESTROY, 0, 0);
    const WindowView view = ViewOf(hWnd);
    {
        std::lock_guard lock(TableMutex());
        window->destroyed = true;
    }
    if (window->parent != nullptr) {
        ChangeWindow(window->parent, [hWnd](Window& parent) { std::erase(parent.children, hWnd); });
    }
    RemoveWindow(hWnd);
    Backend().Destroyed(view);
    return TRUE;
}

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
    const bool show = nCmdShow != SW_HIDE;
    bool wasVisible = false;
    if (!ChangeWindow(hWnd, [&](Window& w) {
            wasVisible = w.visible;
            w.visible = show;
        })) {
        return FALSE;
    }
    if (wasVisible != show) {
        CallWindowProcedure(hWnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
        Backend().VisibilityChanged(ViewOf(hWnd));
    }
    return wasVisible ? TRUE : FALSE;
}

BOOL WINAPI IsWindow(HWND hWnd) {
    const std::shared_ptr<Window> window = FindWindowObject(hWnd);
    if (!window) {
        return FALSE;
    }
    std::lock_guard lock(TableMutex());
    return window->destroyed ? FALSE : TRUE;
}

BOOL WINAPI IsWindowVisible(HWND hWnd) {
    return ViewOf(hWnd).visible ? TRUE : FALSE;
}

HWND WINAPI GetParent(HWND hWnd) {
    return ViewOf(hWnd).parent;
}

BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR lpString) {
    if (!IsWindow(hWnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)) != 0 ? TRUE : FALSE;
}

// Reads the kept text directly, also for windows of other threads, as Windows does.
int WINAPI GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
    if (lpString == nullptr || nMaxCount <= 0) {
        return 0;
    }
    const WindowView view = ViewOf(hWnd);
    const int length = std::min(static_cast<int>(view.text.size()), nMaxCount - 1);
    std::memcpy(lpString, view.text.data(), static_cast<size_t>(length));
    lpString[length] = '\0';
    return length;
}

int WINAPI GetWindowTextLengthA(HWND hWnd) {
    return static_cast<int>(ViewOf(hWnd).text.size());
}

DWORD WINAPI GetWindowThreadProcessId(HWND hWnd, LPDWORD lpdwProcessId) {
    const std::shared_ptr<Window> window = FindWindowObject(hWnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (lpdwProcessId != nullptr) {
        *lpdwProcessId = 1;
    }
    return window->owner->ThreadId();
}

// Nothing is drawn on windows of this platform, so the update region is always valid.
HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
    if (lpPaint == nullptr || !IsWindow(hWnd)) {
        return nullptr;
    }
    const WindowView view = ViewOf(hWnd);
    *lpPaint = PAINTSTRUCT{};
    lpPaint->hdc = reinterpret_cast<HDC>(hWnd);
    lpPaint->rcPaint = RECT{0, 0, view.rect.right - view.rect.left, view.rect.bottom - view.rect.top};
    return lpPaint->hdc;
}

BOOL WINAPI EndPaint(HWND, const PAINTSTRUCT* lpPaint) {
    return lpPaint != nullptr ? TRUE : FALSE;
}
