#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>

#include "platform/win32/RecordLog.h"
#include "platform/win32/RecordedUi.h"

namespace win32 {

namespace {

using record::Event;
using record::EventKind;

// Never destroyed: events may arrive from a worker while the process ends.
struct Recorder {
    std::mutex mutex;
    std::vector<Event> events;
    std::function<void(const Event&)> hook;
    bool hold = false;
    std::deque<std::shared_ptr<MessageBoxAnswer>> open;
    FILE* file = nullptr;
    std::string cancelTrigger;
};

// The record file and the cancel trigger are read from the environment once.
Recorder& TheRecorder() {
    static auto* recorder = [] {
        auto* made = new Recorder;
        if (const char* path = std::getenv("TOLVANE_RECORD"); path != nullptr && *path != '\0') {
            made->file = std::fopen(path, "w");
            if (made->file == nullptr) {
                std::fprintf(stderr, "tolvane: cannot write the record file %s\n", path);
            }
        }
        if (const char* trigger = std::getenv("TOLVANE_RECORD_CANCEL"); trigger != nullptr) {
            made->cancelTrigger = trigger;
        }
        return made;
    }();
    return *recorder;
}

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out;
}

void Record(const Event& event) {
    Recorder& recorder = TheRecorder();
    const std::string line = record::FormatEvent(event);
    std::function<void(const Event&)> hook;
    bool pressCancel = false;
    {
        std::lock_guard lock(recorder.mutex);
        recorder.events.push_back(event);
        if (recorder.file != nullptr) {
            std::fprintf(recorder.file, "%s\n", line.c_str());
            std::fflush(recorder.file);
        }
        hook = recorder.hook;
        if (!recorder.cancelTrigger.empty() && line.find(recorder.cancelTrigger) != std::string::npos) {
            recorder.cancelTrigger.clear();
            pressCancel = true;
        }
    }
    if (hook) {
        hook(event);
    }
    if (pressCancel && LatestDialog() != nullptr) {
        record::PressCancel(LatestDialog());
    }
}

Event WindowEvent(EventKind kind, const WindowView& window) {
    Event event;
    event.kind = kind;
    event.window = window.handle;
    event.windowName = window.name;
    event.text = window.text;
    return event;
}

class RecordBackend : public UiBackend {
public:
    void Created(const WindowView& window) override { LogWindowEvent(EventKind::Create, window); }
    void TextChanged(const WindowView& window) override { LogWindowEvent(EventKind::Text, window); }
    void VisibilityChanged(const WindowView& window) override {
        LogWindowEvent(window.visible ? EventKind::Show : EventKind::Hide, window);
    }
    void Destroyed(const WindowView& window) override { LogWindowEvent(EventKind::Destroy, window); }

    void ShowMessageBox(const MessageBoxRequest& request, const std::shared_ptr<MessageBoxAnswer>& answer) override {
        LogMessageBox(request);
        Recorder& recorder = TheRecorder();
        {
            std::lock_guard lock(recorder.mutex);
            if (recorder.hold) {
                recorder.open.push_back(answer);
                return;
            }
        }
        answer->Give(IDOK);
    }
};

// Another backend shows the windows; the record file follows along.
class RecordingTee : public UiBackend {
public:
    explicit RecordingTee(std::unique_ptr<UiBackend> shown) : shown_(std::move(shown)) {}

    void Created(const WindowView& window) override {
        shown_->Created(window);
        LogWindowEvent(EventKind::Create, window);
    }
    void TextChanged(const WindowView& window) override {
        shown_->TextChanged(window);
        LogWindowEvent(EventKind::Text, window);
    }
    void VisibilityChanged(const WindowView& window) override {
        shown_->VisibilityChanged(window);
        LogWindowEvent(window.visible ? EventKind::Show : EventKind::Hide, window);
    }
    void Destroyed(const WindowView& window) override {
        shown_->Destroyed(window);
        LogWindowEvent(EventKind::Destroy, window);
    }
    void ShowMessageBox(const MessageBoxRequest& request, const std::shared_ptr<MessageBoxAnswer>& answer) override {
        LogMessageBox(request);
        shown_->ShowMessageBox(request, answer);
    }

private:
    std::unique_ptr<UiBackend> shown_;
};

}  // namespace

void LogWindowEvent(record::EventKind kind, const WindowView& window) {
    Record(WindowEvent(kind, window));
}

void LogMessageBox(const MessageBoxRequest& request) {
    Event event;
    event.kind = EventKind::MessageBox;
    event.window = request.owner;
    event.windowName = request.ownerName;
    event.text = request.text;
    event.caption = request.caption;
    event.flags = request.type;
    Record(event);
}

std::unique_ptr<UiBackend> RecordAlongside(std::unique_ptr<UiBackend> shown) {
    return std::make_unique<RecordingTee>(std::move(shown));
}

std::unique_ptr<UiBackend> CreateRecordBackend() {
    return std::make_unique<RecordBackend>();
}

}  // namespace win32

namespace win32::record {

std::string FormatEvent(const Event& event) {
    switch (event.kind) {
    case EventKind::Create: return "create\t" + event.windowName + "\t" + Escape(event.text);
    case EventKind::Text: return "text\t" + event.windowName + "\t" + Escape(event.text);
    case EventKind::Show: return "show\t" + event.windowName;
    case EventKind::Hide: return "hide\t" + event.windowName;
    case EventKind::Destroy: return "destroy\t" + event.windowName;
    case EventKind::MessageBox: {
        char flags[16];
        std::snprintf(flags, sizeof flags, "0x%08X", event.flags);
        return "box\t" + event.windowName + "\t" + flags + "\t" + Escape(event.caption) + "\t" + Escape(event.text);
    }
    }
    return {};
}

std::vector<Event> Events() {
    std::lock_guard lock(TheRecorder().mutex);
    return TheRecorder().events;
}

void ClearEvents() {
    std::lock_guard lock(TheRecorder().mutex);
    TheRecorder().events.clear();
}

void SetHook(std::function<void(const Event&)> hook) {
    std::lock_guard lock(TheRecorder().mutex);
    TheRecorder().hook = std::move(hook);
}

void PressCancel(HWND dialog) {
    const HWND button = GetDlgItem(dialog, IDCANCEL);
    if (button != nullptr) {
        ClickButton(button);
    } else {
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
}

void HoldMessageBoxes(bool hold) {
    std::lock_guard lock(TheRecorder().mutex);
    TheRecorder().hold = hold;
}

bool AnswerMessageBox(int result) {
    std::shared_ptr<MessageBoxAnswer> answer;
    {
        std::lock_guard lock(TheRecorder().mutex);
        if (TheRecorder().open.empty()) {
            return false;
        }
        answer = TheRecorder().open.front();
        TheRecorder().open.pop_front();
    }
    answer->Give(result);
    return true;
}

size_t OpenMessageBoxes() {
    std::lock_guard lock(TheRecorder().mutex);
    return TheRecorder().open.size();
}

}  // namespace win32::record
