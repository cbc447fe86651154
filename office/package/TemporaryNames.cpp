#include "office/package/TemporaryNames.h"

#include "office/package/TemporaryNamesSystem.h"

#include <atomic>
#include <cstring>
#include <mutex>

namespace office {
namespace {

constexpr int kSlots = 1024;
// 4 KiB a slot on either system; a longer name is not registered.
constexpr size_t kPathChars = 4096 / sizeof(std::filesystem::path::value_type);

enum SlotState : int { kFree, kFilling, kActive };

// Fixed buffers that are never freed, so the handler reads no freed memory
// and takes no lock.
struct Slot {
    std::atomic<int> state{kFree};
    std::filesystem::path::value_type path[kPathChars];
};

Slot* slots = nullptr;

void Install() {
    slots = new Slot[kSlots];
    InstallEndingHandler();
}

}  // namespace

void RemoveRegisteredNames() {
    for (int i = 0; i < kSlots; ++i) {
        if (slots[i].state.load() == kActive) RemoveName(slots[i].path);
    }
}

TemporaryName::TemporaryName(const std::filesystem::path& path) : slot_(-1) {
    static std::once_flag installed;
    std::call_once(installed, Install);
    const auto& text = path.native();
    if (text.size() >= kPathChars) return;
    for (int i = 0; i < kSlots; ++i) {
        int expected = kFree;
        if (!slots[i].state.compare_exchange_strong(expected, kFilling)) continue;
        std::memcpy(slots[i].path, text.c_str(), (text.size() + 1) * sizeof(text[0]));
        slots[i].state.store(kActive);
        slot_ = i;
        return;
    }
}

TemporaryName::~TemporaryName() {
    if (slot_ >= 0) slots[slot_].state.store(kFree);
}

}  // namespace office
