#include "platform/win32/UiBackend.h"

#include "platform/win32/RecordLog.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace win32 {

namespace {

bool HasDisplay() {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 != nullptr && *x11 != '\0') || (wayland != nullptr && *wayland != '\0');
}

std::unique_ptr<UiBackend> Shown() {
    const char* asked = std::getenv("TOLVANE_UI");
    const std::string name = asked != nullptr && *asked != '\0' ? asked : (HasDisplay() ? "gtk" : "terminal");
    if (name == "record") {
        return CreateRecordBackend();
    }
    if (name == "gtk") {
        if (auto gtk = CreateGtkBackend()) {
            return gtk;
        }
        std::fprintf(stderr, "tolvane: cannot open the display; showing progress here instead\n");
    } else if (name != "terminal") {
        std::fprintf(stderr, "tolvane: TOLVANE_UI=%s is not one of gtk, terminal, record; using terminal\n",
                     name.c_str());
    }
    return CreateTerminalBackend();
}

// With TOLVANE_RECORD set, the events are recorded whichever backend shows them.
std::unique_ptr<UiBackend> Choose() {
    const char* asked = std::getenv("TOLVANE_UI");
    const char* record = std::getenv("TOLVANE_RECORD");
    const bool recording = record != nullptr && *record != '\0';
    std::unique_ptr<UiBackend> shown = Shown();
    if (recording && !(asked != nullptr && std::strcmp(asked, "record") == 0)) {
        return RecordAlongside(std::move(shown));
    }
    return shown;
}

}  // namespace

UiBackend& Backend() {
    // Never destroyed: detached threads may still show texts while the process ends.
    static UiBackend* const backend = Choose().release();
    return *backend;
}

void ClickButton(HWND button) {
    const WindowView view = ViewOf(button);
    if (view.handle == nullptr || view.parent == nullptr) {
        return;
    }
    SendMessageA(view.parent, WM_COMMAND, MAKEWPARAM(view.id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

}  // namespace win32

