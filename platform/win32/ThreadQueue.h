// The message queue of one thread: posted messages, messages sent from other
// threads (served only by this thread), and the quit flag. A thread that waits
// (GetMessageA, a blocked SendMessageA, a modal box) keeps serving sent messages.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/win32/windows.h"

namespace win32 {

class ThreadQueue;

// A message sent from another thread, or a piece of work handed to this thread.
struct SentMessage {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    std::function<void()> task;
    std::shared_ptr<ThreadQueue> sender;
    std::atomic<LRESULT> result{0};
    std::atomic<bool> done{false};
};

// Replaces the plain condition-variable wait, e.g. by a GUI toolkit's main
// loop: wait() blocks until events or wake() arrive; wake() may come from any thread.
struct QueueWaiter {
    std::function<void()> wait;
    std::function<void()> wake;
};

class ThreadQueue {
public:
    explicit ThreadQueue(DWORD threadId) : threadId_(threadId) {}

    DWORD ThreadId() const { return threadId_; }

    bool Post(const MSG& message);
    void PostQuit(int exitCode);
    // Queues a sent message; when the thread has ended it completes at once with 0.
    void Send(const std::shared_ptr<SentMessage>& message);
    // Runs every sent message waiting now; returns whether it ran any.
    bool ServeSent();
    // Takes the next posted message for the filter; WM_QUIT only when nothing else waits.
    bool TakePosted(MSG& message, HWND window, UINT filterMin, UINT filterMax);
    // Blocks until something arrived since the last wait, or Wake was called.
    void Wait();
    void Wake();
    void SetWaiter(QueueWaiter waiter);
    // The thread ended: pending and later sends complete with 0.
    void Close();

private:
    const DWORD threadId_;
    std::mutex mutex_;
    std::condition_variable arrived_;
    bool signalled_ = false;
    bool closed_ = false;
    bool quitPending_ = false;
    int quitCode_ = 0;
    std::deque<MSG> posted_;
    std::deque<std::shared_ptr<SentMessage>> sent_;
    QueueWaiter waiter_;
};

// The calling thread's queue, created on first use.
std::shared_ptr<ThreadQueue> CurrentQueue();

// Runs the sent message on this thread and tells its sender.
void Complete(SentMessage& message, LRESULT result);

// Waits on the calling thread until done() holds, serving sent messages and
// dispatching posted ones; a quit message stays queued for the outer loop.
void PumpUntil(const std::function<bool()>& done);

// Blocks the calling thread until message was served, serving the messages
// other threads send to it meanwhile (as a blocked SendMessage does).
void WaitUntilServed(const SentMessage& message);

// Runs work on the thread that owns queue and waits for it, like a sent message.
void RunOnThread(const std::shared_ptr<ThreadQueue>& queue, std::function<void()> work);

}  // namespace win32
