// Reads and presses the windows of a program under test, from another process
// in the same Wine prefix:
//   windowprobe <caption> <button text or -> <timeout in ms>
// Waits for a visible top-level window with that caption, prints
// "count<TAB>n" (how many such windows there are) and one line
// "<class><TAB><text>" per child window, then clicks the named button.
// Exit code 0 when the window was found, 1 on timeout, 2 on bad arguments.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct Search {
    const char* caption;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM parameter) {
    Search* search = reinterpret_cast<Search*>(parameter);
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    if (IsWindowVisible(window) && std::strcmp(text, search->caption) == 0) search->found.push_back(window);
    return TRUE;
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
    char className[128] = {};
    char text[512] = {};
    GetClassNameA(child, className, sizeof className);
    GetWindowTextA(child, text, sizeof text);
    std::printf("%s\t%s\n", className, text);
    return TRUE;
}

struct ButtonSearch {
    const char* text;
    HWND found;
};

BOOL CALLBACK FindButton(HWND child, LPARAM parameter) {
    ButtonSearch* search = reinterpret_cast<ButtonSearch*>(parameter);
    char className[128] = {};
    char text[512] = {};
    GetClassNameA(child, className, sizeof className);
    GetWindowTextA(child, text, sizeof text);
    if (lstrcmpiA(className, "Button") == 0 && std::strcmp(text, search->text) == 0) {
        search->found = child;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: windowprobe <caption> <button text or -> <timeout in ms>\n");
        return 2;
    }
    const char* button = argv[2];
    const DWORD timeout = static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10));
    const DWORD start = GetTickCount();
    Search search{argv[1], {}};
    for (;;) {
        search.found.clear();
        EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
        if (!search.found.empty()) break;
        if (GetTickCount() - start > timeout) {
            std::printf("count\t0\n");
            return 1;
        }
        Sleep(100);
    }
    // A box is filled in right after it appears; let it settle.
    Sleep(300);
    HWND window = search.found.front();
    std::printf("count\t%u\n", static_cast<unsigned>(search.found.size()));
    EnumChildWindows(window, PrintChild, 0);
    std::fflush(stdout);
    if (std::strcmp(button, "-") == 0) return 0;
    ButtonSearch target{button, nullptr};
    EnumChildWindows(window, FindButton, reinterpret_cast<LPARAM>(&target));
    if (target.found == nullptr) {
        std::fprintf(stderr, "windowprobe: no button \"%s\" in \"%s\"\n", button, argv[1]);
        return 1;
    }
    SendMessageA(target.found, BM_CLICK, 0, 0);
    return 0;
}
