#include "office/package/TemporaryNamesSystem.h"

#include <signal.h>
#include <unistd.h>

namespace office {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

struct sigaction previous[NSIG];

void OnEndingSignal(int signal) {
    const struct sigaction& before = previous[signal];
    if (before.sa_handler == SIG_IGN) return;
    if (before.sa_handler != SIG_DFL) {
        if (before.sa_flags & SA_SIGINFO) return;  // nothing here installs one
        before.sa_handler(signal);
        return;
    }
    RemoveRegisteredNames();
    struct sigaction fallback{};
    fallback.sa_handler = SIG_DFL;
    sigaction(signal, &fallback, nullptr);
    raise(signal);
}

}  // namespace

void InstallEndingHandler() {
    struct sigaction action{};
    action.sa_handler = OnEndingSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kSignals) sigaction(signal, &action, &previous[signal]);
}

void RemoveName(const char* path) { unlink(path); }

}  // namespace office
