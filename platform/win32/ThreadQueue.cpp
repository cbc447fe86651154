#include "platform/win32/ThreadQueue.h"

#include "platform/win32/WindowTable.h"

namespace win32 {

namespace {

// Owns the thread's queue and closes it when the thread ends.
struct QueueHolder {
    std::shared_ptr<ThreadQueue> queue;
    ~QueueHolder() {
        if (queue) {
            queue->Close();
        }
    }
};

thread_local QueueHolder holder;

}  // namespace

std::shared_ptr<ThreadQueue> CurrentQueue() {
    if (!holder.queue) {
        holder.queue = std::make_shared<ThreadQueue>(GetCurrentThreadId());
    }
    return holder.queue;
}

bool ThreadQueue::Post(const MSG& message) {
    {
        std::lock_guard lock(mutex_);
        if (closed_) {
            return false;
        }
        posted_.push_back(message);
    }
    Wake();
    return true;
}

void ThreadQueue::PostQuit(int exitCode) {
    {
        std::lock_guard lock(mutex_);
        quitPending_ = true;
        quitCode_ = exitCode;
    }
    Wake();
}

void ThreadQueue::Send(const std::shared_ptr<SentMessage>& message) {
    bool queued = false;
    {
        std::lock_guard lock(mutex_);
        if (!closed_) {
            sent_.push_back(message);
            queued = true;
        }
    }
    if (queued) {
        Wake();
    } else {
        Complete(*message, 0);
    }
}

bool ThreadQueue::ServeSent() {
    bool ranAny = false;
    for (;;) {
        std::shared_ptr<SentMessage> next;
        {
            std::lock_guard lock(mutex_);
            if (sent_.empty()) {
                return ranAny;
            }
            next = sent_.front();
            sent_.pop_front();
        }
        ranAny = true;
        if (next->task) {
            next->task();
            Complete(*next, 0);
        } else {
            Complete(*next, CallWindowProcedure(next->hwnd, next->message, next->wParam, next->lParam));
        }
    }
}

bool ThreadQueue::TakePosted(MSG& message, HWND window, UINT filterMin, UINT filterMax) {
    std::lock_guard lock(mutex_);
    for (auto it = posted_.begin(); it != posted_.end(); ++it) {
        const bool windowMatches = window == nullptr || it->hwnd == window;
        const bool rangeMatches = (filterMin == 0 && filterMax == 0) ||
                                  (it->message >= filterMin && it->message <= filterMax);
        if (windowMatches && rangeMatches) {
            message = *it;
            posted_.erase(it);
            return true;
        }
    }
    const bool quitMatches = (filterMin == 0 && filterMax == 0) || (WM_QUIT >= filterMin && WM_QUIT <= filterMax);
    if (quitPending_ && window == nullptr && quitMatches) {
        quitPending_ = false;
        message = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(quitCode_), 0, 0, {0, 0}};
        return true;
    }
    return false;
}

void ThreadQueue::Wait() {
    std::function<void()> wait;
    {
        std::unique_lock lock(mutex_);
        if (!waiter_.wait) {
            arrived_.wait(lock, [this] { return signalled_; });
            signalled_ = false;
            return;
        }
        if (signalled_) {
            signalled_ = false;
            return;
        }
        wait = waiter_.wait;
    }
    wait();
    std::lock_guard lock(mutex_);
    signalled_ = false;
}

void ThreadQueue::Wake() {
    std::function<void()> wake;
    {
        std::lock_guard lock(mutex_);
        signalled_ = true;
        wake = waiter_.wake;
    }
    arrived_.notify_all();
    if (wake) {
        wake();
    }
}

void ThreadQueue::SetWaiter(QueueWaiter waiter) {
    std::lock_guard lock(mutex_);
    waiter_ = std::move(waiter);
}

void ThreadQueue::Close() {
    std::deque<std::shared_ptr<SentMessage>> pending;
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        pending.swap(sent_);
        posted_.clear();
    }
    for (const auto& message : pending) {
        Complete(*message, 0);
    }
}

void Complete(SentMessage& message, LRESULT result) {
    message.result = result;
    message.done = true;
    if (message.sender) {
        message.sender->Wake();
    }
}

void PumpUntil(const std::function<bool()>& done) {
    const std::shared_ptr<ThreadQueue> queue = CurrentQueue();
    while (!done()) {
        if (queue->ServeSent()) {
            continue;
        }
        MSG message;
        if (queue->TakePosted(message, nullptr, 0, WM_QUIT - 1) ||
            queue->TakePosted(message, nullptr, WM_QUIT + 1, 0xFFFFFFFFu)) {
            DispatchMessageA(&message);
            continue;
        }
        if (!done()) {
            queue->Wait();
        }
    }
}

void RunOnThread(const std::shared_ptr<ThreadQueue>& queue, std::function<void()> work) {
    const std::shared_ptr<ThreadQueue> self = CurrentQueue();
    if (queue == self) {
        work();
        return;
    }
    auto message = std::make_shared<SentMessage>();
    message->task = std::move(work);
    message->sender = self;
    queue->Send(message);
    WaitUntilServed(*message);
}

void WaitUntilServed(const SentMessage& message) {
    const std::shared_ptr<ThreadQueue> self = CurrentQueue();
    while (!message.done) {
        if (!self->ServeSent() && !message.done) {
            self->Wait();
        }
    }
}

}  // namespace win32
