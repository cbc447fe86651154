// Starting, showing and abandoning the word processor.
#include "generator/HeldObject.h"
#include "word/WordGenerator.h"

namespace {
constexpr LONG WindowStateNormal = 0;
}

WordGenerator::WordGenerator(Element* rootElement, HWND dialogWindow, const char* progressText)
    : Generator(rootElement, dialogWindow, progressText) {}

WordGenerator::~WordGenerator() = default;

void WordGenerator::Start() {
    if (resultCode > 0) return;
    session = new AutomationSession();
    application = session->StartApplication(WordApplication);
}

void WordGenerator::Show() {
    if (resultCode > 0) return;
    session->PutPropertyInt(application, OLESTR("Visible"), 1);
    if (IntResult(session->GetProperty(application, OLESTR("WindowState"))) != WindowStateNormal)
        session->PutPropertyInt(application, OLESTR("WindowState"), WindowStateNormal);
    DropResult(session->CallMethod(application, OLESTR("Activate")));
}

void WordGenerator::Abandon() {
    if (!application) return;
    DropResult(session->CallMethodWithBool(application, OLESTR("Quit"), false));
}
