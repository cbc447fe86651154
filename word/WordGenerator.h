// The generator for word-processor templates: one new document per document
// element, record rows repeated, text form fields replaced by their values.
#pragma once

#include <optional>
#include <string>

#include "generator/Generator.h"

class WordGenerator : public Generator {
public:
    WordGenerator(Element* rootElement, HWND dialogWindow, const char* progressText);
    ~WordGenerator() override;

    void Start() override;
    void BuildDocument(Element* document) override;
    void Show() override;
    void Abandon() override;

private:
    void ExpandRecordRows(IDispatch* window, IDispatch* document, Element* fields);
    // Repeats the table row or paragraph that holds the field's form field.
    void RepeatRecordBlock(IDispatch* window, IDispatch* document, Element* fields, Element* field);
    void FillFormFields(IDispatch* document, IDispatch* window, Element* fields);
    std::optional<std::string> TakeFieldValue(Element* fields, const char* name);
};
