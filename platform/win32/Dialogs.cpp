// Modeless dialogs built from a module's dialog templates, and their controls.
#include "platform/win32/UiBackend.h"
#include "platform/win32/WindowTable.h"
#include "platform/win32/windows.h"

namespace win32 {

namespace {

// Dialog units to pixels for the 8-point dialog font: a character cell of 6 by 13 pixels.
constexpr int kBaseUnitX = 6;
constexpr int kBaseUnitY = 13;

RECT DialogUnitsToPixels(short x, short y, short cx, short cy) {
    const LONG left = x * kBaseUnitX / 4;
    const LONG top = y * kBaseUnitY / 8;
    return RECT{left, top, left + cx * kBaseUnitX / 4, top + cy * kBaseUnitY / 8};
}

HWND AddControl(HWND dialog, const std::string& dialogName, const DialogItemResource& item) {
    auto control = std::make_shared<Window>();
    control->owner = CurrentQueue();
    control->procedure = ControlWindowProcedure;
    control->kind = WindowKind::Control;
    control->className = item.className;
    control->name = dialogName + "/" + std::to_string(item.id);
    control->text = item.text != nullptr ? item.text : "";
    control->style = item.style;
    control->rect = DialogUnitsToPixels(item.x, item.y, item.cx, item.cy);
    control->parent = dialog;
    control->id = item.id;
    control->visible = (item.style & WS_VISIBLE) != 0;
    const HWND handle = AddWindow(control);
    Backend().Created(ViewOf(handle));
    return handle;
}

}  // namespace

// The dialog manager's procedure: the dialog procedure first, then the defaults.
// SendMessageA to a dialog returns what its dialog procedure returned.
LRESULT CALLBACK DialogWindowProcedure(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    const std::shared_ptr<Window> window = FindWindowObject(hWnd);
    if (!window) {
        return 0;
    }
    const INT_PTR handled = window->dialogProcedure != nullptr ? window->dialogProcedure(hWnd, Msg, wParam, lParam) : FALSE;
    if (handled != FALSE || Msg == WM_INITDIALOG) {
        return handled;
    }
    if (Msg == WM_CLOSE) {
        // Closing a dialog is the same as pressing its Cancel button.
        return CallWindowProcedure(hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                                   reinterpret_cast<LPARAM>(GetDlgItem(hWnd, IDCANCEL)));
    }
    return DefWindowProcA(hWnd, Msg, wParam, lParam);
}

}  // namespace win32

using namespace win32;

HWND WINAPI CreateDialogParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND, DLGPROC lpDialogFunc,
                               LPARAM dwInitParam) {
    Backend();
    const DialogResource* resource =
        IS_INTRESOURCE(lpTemplateName) ? FindDialogResource(hInstance, LOWORD(lpTemplateName)) : nullptr;
    if (resource == nullptr) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    auto dialog = std::make_shared<Window>();
    dialog->owner = CurrentQueue();
    dialog->procedure = DialogWindowProcedure;
    dialog->dialogProcedure = lpDialogFunc;
    dialog->kind = WindowKind::Dialog;
    dialog->className = "#32770";
    dialog->name = "dialog:" + std::to_string(resource->id);
    dialog->text = resource->caption != nullptr ? resource->caption : "";
    dialog->style = resource->style & ~static_cast<DWORD>(WS_VISIBLE);
    dialog->rect = DialogUnitsToPixels(resource->x, resource->y, resource->cx, resource->cy);
    dialog->dialog = resource;
    const HWND handle = AddWindow(dialog);
    Backend().Created(ViewOf(handle));
    HWND focus = nullptr;
    for (const DialogItemResource& item : resource->items) {
        const HWND control = AddControl(handle, dialog->name, item);
        if (focus == nullptr && (item.style & WS_TABSTOP) != 0) {
            focus = control;
        }
    }
    CallWindowProcedure(handle, WM_INITDIALOG, reinterpret_cast<WPARAM>(focus), dwInitParam);
    if ((resource->style & WS_VISIBLE) != 0 && IsWindow(handle)) {
        ShowWindow(handle, SW_SHOWNORMAL);
    }
    return handle;
}

// On a modeless dialog: hides and destroys it.
BOOL WINAPI EndDialog(HWND hDlg, INT_PTR) {
    if (ViewOf(hDlg).kind != WindowKind::Dialog || !IsWindow(hDlg)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    ShowWindow(hDlg, SW_HIDE);
    return DestroyWindow(hDlg);
}

HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem) {
    const std::shared_ptr<Window> dialog = FindWindowObject(hDlg);
    if (!dialog) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    std::vector<HWND> children;
    {
        std::lock_guard lock(TableMutex());
        children = dialog->children;
    }
    for (HWND child : children) {
        if (ViewOf(child).id == nIDDlgItem) {
            return child;
        }
    }
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
}

int WINAPI GetDlgCtrlID(HWND hWnd) {
    return ViewOf(hWnd).id;
}

BOOL WINAPI SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString) {
    const HWND item = GetDlgItem(hDlg, nIDDlgItem);
    return item != nullptr ? SetWindowTextA(item, lpString) : FALSE;
}

UINT WINAPI GetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax) {
    const HWND item = GetDlgItem(hDlg, nIDDlgItem);
    if (item == nullptr) {
        if (lpString != nullptr && cchMax > 0) {
            lpString[0] = '\0';
        }
        return 0;
    }
    return static_cast<UINT>(GetWindowTextA(item, lpString, cchMax));
}
