// The record of window events and message boxes (see RecordedUi.h), written by
// the record backend, and alongside any other backend when TOLVANE_RECORD is set.
#pragma once

#include "platform/win32/RecordedUi.h"
#include "platform/win32/UiBackend.h"

namespace win32 {

void LogWindowEvent(record::EventKind kind, const WindowView& window);
void LogMessageBox(const MessageBoxRequest& request);

// Shows through shown and records every event as well.
std::unique_ptr<UiBackend> RecordAlongside(std::unique_ptr<UiBackend> shown);

}  // namespace win32
