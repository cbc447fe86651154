// The resource table of the program, in US English.
#include "resources/ProgramResources.h"

#include <windows.h>
#include "resources/resource.h"

namespace {

constexpr StringResource kStrings[] = {
    {IDS_APP_TITLE, "Tolvane"},
    {IDS_WINDOW_CLASS, "TOLVANE"},
};

constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kStaticStyle = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_CENTER;

constexpr DialogItemResource kProgressItems[] = {
    {"Button", IDCANCEL, 81, 47, 50, 14, kButtonStyle, "Cancel"},
    {"Static", IDC_STATUS, 11, 12, 191, 14, kStaticStyle, "Progress"},
    {"Static", IDC_PERCENT, 11, 28, 191, 14, kStaticStyle, "0%"},
};

// No system menu, so the dialog has no close box.
constexpr DWORD kProgressStyle = WS_VISIBLE | WS_CAPTION | DS_MODALFRAME | DS_CENTER | DS_3DLOOK | DS_SETFONT;

}  // namespace

const ResourceModule& ProgramResources() {
    static const IconResource icons[] = {{IDI_APP_ICON, AppIconImages()}};
    static const DialogResource dialogs[] = {
        {IDD_PROGRESS, kProgressStyle, 0, 0, 214, 70, "Tolvane", "MS Sans Serif", 8, kProgressItems},
    };
    static const ResourceModule module{kStrings, icons, dialogs, {VS_VERSION_INFO, {1, 1, 5, 0}, {1, 1, 5, 0}}};
    return module;
}
