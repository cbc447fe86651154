#include "platform/win32/WindowTable.h"

#include <algorithm>
#include <map>
#include <strings.h>

namespace win32 {

namespace {

struct CaseInsensitiveLess {
    bool operator()(const std::string& a, const std::string& b) const {
        return strcasecmp(a.c_str(), b.c_str()) < 0;
    }
};

// Never destroyed: a detached worker may still send messages while the process ends.
struct Table {
    std::map<HWND, std::shared_ptr<Window>> windows;
    std::map<std::string, WindowClass, CaseInsensitiveLess> classes;
    std::vector<std::string> classOrder;
    std::vector<HWND> dialogs;
    UINT_PTR nextHandle = 0x10010;
};

Table& TheTable() {
    static auto* table = new Table;
    return *table;
}

}  // namespace

std::mutex& TableMutex() {
    static auto* mutex = new std::mutex;
    return *mutex;
}

HWND AddWindow(const std::shared_ptr<Window>& window) {
    std::lock_guard lock(TableMutex());
    Table& table = TheTable();
    window->handle = reinterpret_cast<HWND>(table.nextHandle);
    table.nextHandle += 4;
    table.windows[window->handle] = window;
    if (window->kind == WindowKind::Dialog) {
        table.dialogs.push_back(window->handle);
    }
    if (window->parent != nullptr) {
        const auto parent = table.windows.find(window->parent);
        if (parent != table.windows.end()) {
            parent->second->children.push_back(window->handle);
        }
    }
    return window->handle;
}

std::shared_ptr<Window> FindWindowObject(HWND handle) {
    std::lock_guard lock(TableMutex());
    const auto found = TheTable().windows.find(handle);
    return found == TheTable().windows.end() ? nullptr : found->second;
}

void RemoveWindow(HWND handle) {
    std::lock_guard lock(TableMutex());
    Table& table = TheTable();
    table.windows.erase(handle);
    std::erase(table.dialogs, handle);
}

WindowView ViewOf(HWND handle) {
    std::lock_guard lock(TableMutex());
    const auto found = TheTable().windows.find(handle);
    if (found == TheTable().windows.end()) {
        return WindowView{};
    }
    const Window& w = *found->second;
    return WindowView{w.handle, w.kind, w.className, w.name, w.text, w.style, w.rect,
                      w.parent, w.id, w.visible, w.icon, w.dialog};
}

HWND LatestDialog() {
    std::lock_guard lock(TableMutex());
    return TheTable().dialogs.empty() ? nullptr : TheTable().dialogs.back();
}

bool AddClass(const WindowClass& windowClass) {
    std::lock_guard lock(TableMutex());
    Table& table = TheTable();
    if (!table.classes.emplace(windowClass.name, windowClass).second) {
        return false;
    }
    table.classOrder.push_back(windowClass.name);
    return true;
}

bool FindClass(const std::string& name, WindowClass& found) {
    std::lock_guard lock(TableMutex());
    const auto entry = TheTable().classes.find(name);
    if (entry == TheTable().classes.end()) {
        return false;
    }
    found = entry->second;
    return true;
}

HICON ProgramIcon() {
    std::lock_guard lock(TableMutex());
    Table& table = TheTable();
    for (const std::string& name : table.classOrder) {
        const WindowClass& entry = table.classes.at(name);
        if (entry.icon != nullptr) {
            return entry.icon;
        }
    }
    return nullptr;
}

LRESULT CallWindowProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    const std::shared_ptr<Window> window = FindWindowObject(handle);
    if (!window || window->procedure == nullptr) {
        return 0;
    }
    return window->procedure(handle, message, wParam, lParam);
}

}  // namespace win32
