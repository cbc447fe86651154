// A stand-in for the progress dialog in generator tests: a top-level window
// with the Cancel button (2), the status line (106) and the percentage (107),
// which remembers every text set on its controls and every message box shown
// meanwhile on this thread (answered with OK at once).
#pragma once

#include <map>
#include <string>
#include <vector>

#include <windows.h>

#include "tests/generator/MessageBoxWatch.h"

class TestDialog {
public:
    TestDialog();
    ~TestDialog();
    TestDialog(const TestDialog&) = delete;
    TestDialog& operator=(const TestDialog&) = delete;

    HWND Handle() const { return dialog; }

    // Texts set on one control since the dialog was made or last cleared, in order.
    std::vector<std::string> TextsOf(int control) const;
    std::vector<ShownBox> MessageBoxes() const { return boxes.Boxes(); }
    void Clear();

private:
    HWND dialog;
    MessageBoxWatch boxes;
};

constexpr int StatusLine = 106;
constexpr int Percentage = 107;
