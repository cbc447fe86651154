#include "office/package/TemporaryNames.h"

#include <windows.h>

#include <atomic>
#include <cstring>
#include <mutex>

namespace office {
namespace {

constexpr int kSlots = 1024;
constexpr size_t kPathChars = 1024;

enum SlotState : int { kFree, kFilling, kActive };

// Fixed buffers that are never freed: the handler runs on a thread of its
// own while the others go on, so it reads no freed memory and takes no lock.
struct Slot {
    std::atomic<int> state{kFree};
    wchar_t path[kPathChars];
};

Slot* slots = nullptr;

BOOL WINAPI OnEndingEvent(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
        case CTRL_CLOSE_EVENT:
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT:
            for (int i = 0; i < kSlots; ++i) {
                if (slots[i].state.load() == kActive) DeleteFileW(slots[i].path);
            }
            break;
        default:
            break;
    }
    return FALSE;  // the default handler ends the process as before
}

void InstallHandler() {
    slots = new Slot[kSlots];
    SetConsoleCtrlHandler(OnEndingEvent, TRUE);
}

}  // namespace

TemporaryName::TemporaryName(const std::filesystem::path& path) : slot_(-1) {
    static std::once_flag installed;
    std::call_once(installed, InstallHandler);
    const std::wstring& text = path.native();
    if (text.size() >= kPathChars) return;
    for (int i = 0; i < kSlots; ++i) {
        int expected = kFree;
        if (!slots[i].state.compare_exchange_strong(expected, kFilling)) continue;
        std::memcpy(slots[i].path, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
        slots[i].state.store(kActive);
        slot_ = i;
        return;
    }
}

TemporaryName::~TemporaryName() {
    if (slot_ >= 0) slots[slot_].state.store(kFree);
}

}  // namespace office
