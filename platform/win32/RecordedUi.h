// The record backend (TOLVANE_UI=record), for tests: every window text and
// every message box is recorded in order, and a test can press Cancel at a
// chosen point.
//
// With TOLVANE_RECORD=<file> each event is also written to that file as it
// happens, whichever backend shows the windows (gtk and terminal too), one
// line per event, fields separated by a single TAB:
//   create  <window>  <text>                     window or control created with this text
//   text    <window>  <text>                     its text changed (WM_SETTEXT)
//   show    <window>
//   hide    <window>
//   destroy <window>
//   box     <owner>   <flags>  <caption>  <text> a message box (record answers OK at once)
// <window> is "dialog:<template id>" for a dialog, "dialog:<template id>/<control
// id>" for its controls, "window:<class name>" for other top-level windows and
// "<parent>/<control id>" for their children; <owner> is such a name or "-".
// <flags> is the box type as 0x%08X. In texts a backslash, TAB, newline and
// carriage return are written as \\, \t, \n and \r.
//
// With TOLVANE_RECORD_CANCEL=<text> the Cancel button of the latest dialog is
// pressed right after the first event whose line contains <text>.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/win32/windows.h"

namespace win32::record {

enum class EventKind { Create, Text, Show, Hide, Destroy, MessageBox };

struct Event {
    EventKind kind = EventKind::Text;
    HWND window = nullptr;   // the window, or the owner of a box
    std::string windowName;  // as in the file; "-" for a box without owner
    std::string text;
    std::string caption;     // boxes only
    UINT flags = 0;          // boxes only
};

// The event as one line of the record file, without the line end.
std::string FormatEvent(const Event& event);

std::vector<Event> Events();
void ClearEvents();

// Called after each event, on the thread that caused it (the thread that owns
// the window, or the thread that asked for the box); an empty hook removes it.
void SetHook(std::function<void(const Event&)> hook);

// The user clicks the dialog's Cancel button (control 2): the dialog's thread
// runs the dialog procedure with WM_COMMAND 2 before this returns.
void PressCancel(HWND dialog);

// While held, boxes stay open (their threads keep serving sent messages) until answered.
void HoldMessageBoxes(bool hold);
// Answers the oldest open box; false when none is open.
bool AnswerMessageBox(int result);
size_t OpenMessageBoxes();

}  // namespace win32::record
