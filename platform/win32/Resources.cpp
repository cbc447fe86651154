// LoadStringA, LoadIconA and LoadCursorA served from a module's resource data.
#include <algorithm>
#include <cstring>

#include "platform/win32/ResourceModule.h"
#include "platform/win32/windows.h"

namespace {

// The system's own icon and cursor: handles with nothing behind them to draw.
const IconResource systemIcon{32512, {}};
const IconResource systemCursor{32512, {}};

}  // namespace

const StringResource* FindStringResource(HINSTANCE instance, UINT id) {
    const ResourceModule* module = ModuleOf(instance);
    if (module == nullptr) {
        return nullptr;
    }
    for (const StringResource& entry : module->strings) {
        if (entry.id == id) {
            return &entry;
        }
    }
    return nullptr;
}

const IconResource* FindIconResource(HINSTANCE instance, WORD id) {
    const ResourceModule* module = ModuleOf(instance);
    if (module == nullptr) {
        return nullptr;
    }
    for (const IconResource& entry : module->icons) {
        if (entry.id == id) {
            return &entry;
        }
    }
    return nullptr;
}

const DialogResource* FindDialogResource(HINSTANCE instance, WORD id) {
    const ResourceModule* module = ModuleOf(instance);
    if (module == nullptr) {
        return nullptr;
    }
    for (const DialogResource& entry : module->dialogs) {
        if (entry.id == id) {
            return &entry;
        }
    }
    return nullptr;
}

int WINAPI LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax) {
    const StringResource* entry = FindStringResource(hInstance, uID);
    if (entry == nullptr || lpBuffer == nullptr || cchBufferMax <= 0) {
        SetLastError(entry == nullptr ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_INVALID_PARAMETER);
        return 0;
    }
    const int length = std::min(static_cast<int>(std::strlen(entry->text)), cchBufferMax - 1);
    std::memcpy(lpBuffer, entry->text, static_cast<size_t>(length));
    lpBuffer[length] = '\0';
    return length;
}

HICON WINAPI LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName) {
    if (!IS_INTRESOURCE(lpIconName)) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    const IconResource* icon = hInstance == nullptr ? (LOWORD(lpIconName) == systemIcon.id ? &systemIcon : nullptr)
                                                    : FindIconResource(hInstance, LOWORD(lpIconName));
    if (icon == nullptr) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<HICON>(const_cast<IconResource*>(icon));
}

HCURSOR WINAPI LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName) {
    if (hInstance != nullptr || !IS_INTRESOURCE(lpCursorName) || LOWORD(lpCursorName) != systemCursor.id) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<HCURSOR>(const_cast<IconResource*>(&systemCursor));
}
