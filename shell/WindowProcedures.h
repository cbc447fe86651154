// The procedures of the hidden main window and of the progress dialog.
#pragma once

#include <windows.h>

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Cancel (id 2) asks a running generator to stop, or ends the program at once
// before the generator exists; command 108 from the worker closes the dialog.
INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
