// Message boxes shown on this thread while a watch lasts, each answered with
// OK at once. Where the platforms meet: on Linux the record backend sees them;
// on Windows a CBT hook reads each box as it activates and presses OK.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <windows.h>

struct ShownBox {
    std::string caption;
    std::string text;
    HWND owner = nullptr;
    std::optional<UINT> flags;  // the MB_ flags, where the platform shows them to tests
};

struct MessageBoxWatchState;

class MessageBoxWatch {
public:
    MessageBoxWatch();
    ~MessageBoxWatch();
    MessageBoxWatch(const MessageBoxWatch&) = delete;
    MessageBoxWatch& operator=(const MessageBoxWatch&) = delete;

    std::vector<ShownBox> Boxes() const;
    void Clear();

private:
    MessageBoxWatchState* state;
};
