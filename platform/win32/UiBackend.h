// What shows the windows: the window functions keep the state and tell the
// backend about each change, on the thread that owns the window. Chosen once,
// at the first window call: TOLVANE_UI=gtk|terminal|record, otherwise gtk
// when a display is available, else terminal.
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "platform/win32/ThreadQueue.h"
#include "platform/win32/WindowTable.h"

namespace win32 {

struct MessageBoxRequest {
    HWND owner = nullptr;
    std::string ownerName;  // "-" without owner
    std::string text;
    std::string caption;
    UINT type = 0;
};

// The answer to a box; the asking thread pumps its queue until Give is called.
class MessageBoxAnswer {
public:
    explicit MessageBoxAnswer(std::shared_ptr<ThreadQueue> asker) : asker_(std::move(asker)) {}
    void Give(int result) {
        result_ = result;
        asker_->Wake();
    }
    int Result() const { return result_; }

private:
    std::shared_ptr<ThreadQueue> asker_;
    std::atomic<int> result_{0};
};

class UiBackend {
public:
    virtual ~UiBackend() = default;
    virtual void Created(const WindowView& window) = 0;
    virtual void TextChanged(const WindowView& window) = 0;
    virtual void VisibilityChanged(const WindowView& window) = 0;
    virtual void Destroyed(const WindowView& window) = 0;
    // Called on the asking thread; answer may be given now or later from any thread.
    virtual void ShowMessageBox(const MessageBoxRequest& request, const std::shared_ptr<MessageBoxAnswer>& answer) = 0;
};

// The backend, chosen on the first call; the calling thread becomes the
// user-interface thread.
UiBackend& Backend();

std::unique_ptr<UiBackend> CreateRecordBackend();
std::unique_ptr<UiBackend> CreateTerminalBackend();
// Null when GTK cannot open the display.
std::unique_ptr<UiBackend> CreateGtkBackend();

// The user's click on a button: its parent gets WM_COMMAND with the button's id,
// run by the thread that owns the button.
void ClickButton(HWND button);

}  // namespace win32
