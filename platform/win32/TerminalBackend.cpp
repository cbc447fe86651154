// The terminal backend: the dialog as one line on standard error (rewritten in
// place on a terminal), message boxes as "Caption: text", and Ctrl+C (or
// SIGTERM, SIGHUP) as a click on the dialog's Cancel button.
#include <csignal>
#include <cstdio>
#include <mutex>
#include <thread>
#include <unistd.h>

#include "platform/win32/DisplayText.h"
#include "platform/win32/UiBackend.h"

namespace win32 {

namespace {

int interruptPipe[2] = {-1, -1};

// A terminal closed under the run (SIGHUP) or a polite kill (SIGTERM) ends it
// as Ctrl+C does, so nothing is left half-written.
constexpr int kInterrupts[] = {SIGINT, SIGTERM, SIGHUP};

void OnInterrupt(int signal) {
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t written = write(interruptPipe[1], &byte, 1);
}

// Runs off the signal handler: presses Cancel like the user, or ends the
// process as the unhandled signal would when there is no dialog to cancel.
void WatchInterrupts() {
    char byte = 0;
    while (read(interruptPipe[0], &byte, 1) == 1) {
        const HWND dialog = LatestDialog();
        if (dialog == nullptr) {
            std::signal(byte, SIG_DFL);
            std::raise(byte);
            continue;
        }
        const HWND cancel = GetDlgItem(dialog, IDCANCEL);
        if (cancel != nullptr) {
            ClickButton(cancel);
        } else {
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        }
    }
}

void InstallInterruptHandler() {
    if (pipe(interruptPipe) != 0) {
        return;
    }
    struct sigaction action{};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kInterrupts) {
        sigaction(signal, &action, nullptr);
    }
    std::thread(WatchInterrupts).detach();
}

class TerminalBackend : public UiBackend {
public:
    TerminalBackend() : rewrite_(isatty(STDERR_FILENO) == 1) { InstallInterruptHandler(); }

    void Created(const WindowView& window) override { Refresh(window); }
    void TextChanged(const WindowView& window) override { Refresh(window); }
    void VisibilityChanged(const WindowView& window) override { Refresh(window); }

    void Destroyed(const WindowView& window) override {
        if (window.kind != WindowKind::Dialog) {
            return;
        }
        std::lock_guard lock(mutex_);
        EndLine();
        lastLine_.clear();
    }

    void ShowMessageBox(const MessageBoxRequest& request, const std::shared_ptr<MessageBoxAnswer>& answer) override {
        std::string text = AnsiToUtf8(request.text);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
            text.pop_back();
        }
        {
            std::lock_guard lock(mutex_);
            EndLine();
            std::fprintf(stderr, "%s: %s\n", AnsiToUtf8(request.caption).c_str(), text.c_str());
            std::fflush(stderr);
            lastLine_.clear();
        }
        // On a terminal the box took the dialog's line: draw it again below.
        if (const HWND dialog = LatestDialog(); rewrite_ && dialog != nullptr) {
            Refresh(ViewOf(dialog));
        }
        answer->Give(IDOK);
    }

private:
    // Caption, then the texts of the static controls, then the buttons in brackets.
    static std::string DialogLine(const WindowView& dialog) {
        std::string statics;
        std::string buttons;
        if (dialog.dialog != nullptr) {
            for (const DialogItemResource& item : dialog.dialog->items) {
                const HWND control = GetDlgItem(dialog.handle, item.id);
                const WindowView view = ViewOf(control);
                if (control == nullptr || !view.visible) {
                    continue;
                }
                if (view.className == "Button") {
                    buttons += " | [" + view.text + "]";
                } else {
                    statics += " | " + view.text;
                }
            }
        }
        return dialog.text + statics + buttons;
    }

    void Refresh(const WindowView& window) {
        const WindowView dialog = window.kind == WindowKind::Control ? ViewOf(window.parent) : window;
        if (dialog.kind != WindowKind::Dialog || !dialog.visible) {
            return;
        }
        const std::string line = AnsiToUtf8(DialogLine(dialog));
        std::lock_guard lock(mutex_);
        if (line == lastLine_) {
            return;
        }
        lastLine_ = line;
        if (rewrite_) {
            std::fprintf(stderr, "\r\x1b[K%s", line.c_str());
            lineOpen_ = true;
        } else {
            std::fprintf(stderr, "%s\n", line.c_str());
        }
        std::fflush(stderr);
    }

    void EndLine() {
        if (lineOpen_) {
            std::fputc('\n', stderr);
            lineOpen_ = false;
        }
    }

    const bool rewrite_;
    std::mutex mutex_;
    std::string lastLine_;
    bool lineOpen_ = false;
};

}  // namespace

std::unique_ptr<UiBackend> CreateTerminalBackend() {
    return std::make_unique<TerminalBackend>();
}

}  // namespace win32
