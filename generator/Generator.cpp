#include "generator/Generator.h"

#include "automation/COMException.h"

Generator::Generator(Element* rootElement, HWND dialogWindow, const char* progressText)
    : dialogWindow(dialogWindow),
      session(nullptr),
      templatePath(nullptr),
      activeDocument(nullptr),
      application(nullptr),
      rootElement(rootElement),
      currentDocument(nullptr),
      currentFields(nullptr),
      cachedFieldName(),
      cachedField(nullptr),
      resultCode(0),
      totalFields(0),
      fieldsDone(0),
      shownPercent(0),
      progressText(progressText ? progressText : ""),
      basePercent(0) {}

Generator::~Generator() {
    if (activeDocument) activeDocument->Release();
    if (application) application->Release();
    delete session;
}

int32_t Generator::Run() {
    AdvanceProgress(10);
    try {
        Start();
        ReadTemplate();
        Element* documents = ChildByName(rootElement, "DOCUMENTS");
        currentDocument = NextChild(documents, nullptr);
        currentFields = ChildByName(currentDocument, "FIELDS");
        while (currentDocument) {
            BuildDocument(currentDocument);
            currentDocument = NextChild(documents, currentDocument);
            if (currentDocument) currentFields = ChildByName(currentDocument, "FIELDS");
        }
        StepProgress(true);
        Show();
        return resultCode;
    } catch (COMException& failure) {
        Abandon();
        MessageBoxA(nullptr, failure.message.c_str(), "Error", MB_ICONERROR | MB_SETFOREGROUND);
        return 0;
    }
}

void Generator::ReadTemplate() {
    if (resultCode > 0) return;
    // Without a TEMPLATE element the path stays unset, which BuildDocument reports as code 1.
    Element* templateElement = ChildByName(ChildByName(rootElement, "META"), "TEMPLATE");
    templatePath = templateElement ? ElementContents(templateElement) : nullptr;
    session->PutPropertyInt(application, OLESTR("Visible"), 0);
}
