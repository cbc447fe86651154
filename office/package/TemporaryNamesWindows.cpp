#include "office/package/TemporaryNamesSystem.h"

#include <windows.h>

namespace office {
namespace {

// Runs on a thread of its own while the others go on.
BOOL WINAPI OnEndingEvent(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
        case CTRL_CLOSE_EVENT:
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT:
            RemoveRegisteredNames();
            break;
        default:
            break;
    }
    return FALSE;  // the default handler ends the process as before
}

}  // namespace

void InstallEndingHandler() { SetConsoleCtrlHandler(OnEndingEvent, TRUE); }

void RemoveName(const wchar_t* path) { DeleteFileW(path); }

}  // namespace office
