#include "office/package/TemporaryNames.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <cstring>
#include <mutex>

namespace office {
namespace {

constexpr int kSlots = 1024;
constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

enum SlotState : int { kFree, kFilling, kActive };

// Fixed buffers that are never freed, so the handler reads no freed memory
// and takes no lock.
struct Slot {
    std::atomic<int> state{kFree};
    char path[PATH_MAX];
};

Slot* slots = nullptr;
struct sigaction previous[NSIG];

void OnEndingSignal(int signal) {
    const struct sigaction& before = previous[signal];
    if (before.sa_handler == SIG_IGN) return;
    if (before.sa_handler != SIG_DFL) {
        if (before.sa_flags & SA_SIGINFO) return;  // nothing here installs one
        before.sa_handler(signal);
        return;
    }
    for (int i = 0; i < kSlots; ++i) {
        if (slots[i].state.load() == kActive) unlink(slots[i].path);
    }
    struct sigaction fallback{};
    fallback.sa_handler = SIG_DFL;
    sigaction(signal, &fallback, nullptr);
    raise(signal);
}

void InstallHandler() {
    slots = new Slot[kSlots];
    struct sigaction action{};
    action.sa_handler = OnEndingSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kSignals) sigaction(signal, &action, &previous[signal]);
}

}  // namespace

TemporaryName::TemporaryName(const std::filesystem::path& path) : slot_(-1) {
    static std::once_flag installed;
    std::call_once(installed, InstallHandler);
    if (path.native().size() >= PATH_MAX) return;
    for (int i = 0; i < kSlots; ++i) {
        int expected = kFree;
        if (!slots[i].state.compare_exchange_strong(expected, kFilling)) continue;
        std::memcpy(slots[i].path, path.c_str(), path.native().size() + 1);
        slots[i].state.store(kActive);
        slot_ = i;
        return;
    }
}

TemporaryName::~TemporaryName() {
    if (slot_ >= 0) slots[slot_].state.store(kFree);
}

}  // namespace office
