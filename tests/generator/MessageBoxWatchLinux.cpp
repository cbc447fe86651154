#include "tests/generator/MessageBoxWatch.h"

#include "platform/win32/RecordedUi.h"

MessageBoxWatch::MessageBoxWatch() : state(nullptr) { Clear(); }

MessageBoxWatch::~MessageBoxWatch() = default;

std::vector<ShownBox> MessageBoxWatch::Boxes() const
{
    std::vector<ShownBox> boxes;
    for (const win32::record::Event& event : win32::record::Events()) {
        if (event.kind == win32::record::EventKind::MessageBox) {
            boxes.push_back({event.caption, event.text, event.window, event.flags});
        }
    }
    return boxes;
}

void MessageBoxWatch::Clear() { win32::record::ClearEvents(); }
