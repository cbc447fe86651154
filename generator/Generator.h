// The abstract document generator: runs the fixed sequence (start the
// application, read the template, build one document per DOCUMENTS child,
// finish the progress display, show) and keeps the state both generators share.
#pragma once

#include <cstdint>
#include <string>

#include "automation/AutomationSession.h"
#include "datafile/XmlTree.h"
#include <ole2.h>
#include <windows.h>

class Generator {
public:
    Generator(Element* rootElement, HWND dialogWindow, const char* progressText);
    // Releases the application and activeDocument references, then deletes the
    // session (which ends COM use on the worker thread). The application is
    // not quit: after a normal run it stays with the user.
    virtual ~Generator();

    virtual void Start() = 0;
    virtual void BuildDocument(Element* document) = 0;
    virtual void Show() = 0;
    virtual void Abandon() = 0;

    int32_t Run();

    static int32_t IntAttribute(Element* element, const char* name, int32_t defaultValue);
    static const char* TextAttribute(Element* element, const char* name, const char* defaultValue);
    static void SetAttribute(Element* element, const char* name, const char* value);
    static bool StartsWith(const std::string& text, const std::string& prefix);
    static std::string ReplaceFirst(const std::string& text, const std::string& pattern,
                                    const std::string& replacement);
    static std::string IntToText(int32_t value);

protected:
    void ReadTemplate();

    void CountFields();
    void AdvanceProgress(int32_t amount);
    void StepProgress(bool allDone);
    void ShowPercent(int32_t percentage);

    HWND dialogWindow;
    AutomationSession* session;
    const char* templatePath;
    IDispatch* activeDocument;
    IDispatch* application;
    Element* rootElement;
    Element* currentDocument;
    Element* currentFields;
    std::string cachedFieldName;
    Element* cachedField;
    int32_t resultCode;
    int32_t totalFields;
    int32_t fieldsDone;
    int32_t shownPercent;
    std::string progressText;
    int32_t basePercent;
};

// Dialog controls the generators write to.
constexpr int StatusLineControl = 106;
constexpr int PercentControl = 107;
