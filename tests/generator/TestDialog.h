// A stand-in for the progress dialog in generator tests: a top-level window
// with the Cancel button (2), the status line (106) and the percentage (107),
// and readers for what the record backend saw of them.
#pragma once

#include <string>
#include <vector>

#include "platform/win32/RecordedUi.h"
#include "platform/win32/windows.h"

class TestDialog {
public:
    TestDialog();
    ~TestDialog();
    TestDialog(const TestDialog&) = delete;
    TestDialog& operator=(const TestDialog&) = delete;

    HWND Handle() const { return dialog; }

    // Texts set on one control since the dialog was made, in order.
    std::vector<std::string> TextsOf(int control) const;
    std::vector<win32::record::Event> MessageBoxes() const;

private:
    HWND dialog;
};

constexpr int StatusLine = 106;
constexpr int Percentage = 107;
