// What one Word.Application instance holds: its open documents with their
// selections, its clipboard, its template cache and its window state.
#pragma once

#include "office/wordprocessor/Clipboard.h"
#include "office/wordprocessor/WordDocument.h"
#include "office/wordprocessor/WordTemplate.h"

#include <memory>
#include <vector>

namespace office::word {

class OpenDocument {
public:
    // Selects the start of the new document.
    OpenDocument(std::string name, std::shared_ptr<const WordTemplate> source);

    // The selection; after the document was parked it starts again at the
    // document's start, since the nodes it held are gone.
    Span& Selection();

    WordDocument document;

private:
    Span selection_;
    uint64_t selectionParks_ = 0;
};

using OpenDocumentPtr = std::shared_ptr<OpenDocument>;

struct WordState {
    TemplateCache templates;
    Clipboard clipboard;
    std::vector<OpenDocumentPtr> documents;
    OpenDocumentPtr active;
    int documentsAdded = 0;
    bool visible = false;
    int windowState = 0;  // wdWindowStateNormal
};

using WordStatePtr = std::shared_ptr<WordState>;

}  // namespace office::word
