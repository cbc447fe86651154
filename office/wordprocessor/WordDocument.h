// One open document: its package, the parsed main part, its form fields and
// the count of deletions that stale spans are checked against.
#pragma once

#include "office/package/Package.h"
#include "office/wordprocessor/Clipboard.h"
#include "office/wordprocessor/FieldIndex.h"
#include "office/wordprocessor/FieldPlaces.h"
#include "office/wordprocessor/Span.h"
#include "office/wordprocessor/WordTemplate.h"

#include <map>
#include <memory>
#include <optional>
#include <string>

namespace office::word {

class CopyRenumbering;

// Far beyond any real document (a thousand pages of dense tables hold some
// 50,000 rows in 100 MB); a run that gets there is running away. The parsed
// part costs about five times its XML in memory, so the limit also keeps
// the machine's memory.
constexpr size_t kMaxMainPartBytes = size_t{256} << 20;
constexpr size_t kMaxTableRows = 1'000'000;

class WordDocument {
public:
    WordDocument(std::string name, std::shared_ptr<const WordTemplate> source);
    ~WordDocument();

    const std::string& Name() const { return name_; }
    const WordNames& Names() const { return *source_->names; }
    pugi::xml_node Body() const {
        Resume();
        return body_;
    }
    FieldIndex& Fields() {
        Resume();
        return *fields_;
    }

    // Every change to the main part goes through these, so the index and the
    // stale-span check stay right.
    // A copy of the paste source was inserted as these consecutive siblings.
    void NotePaste(const std::vector<pugi::xml_node>& copy);
    void NoteDeletion();   // content removed: older spans become stale
    void NoteTextChange() { mainChanged_ = true; }  // changed without adding fields
    uint64_t Edits() const { return edits_; }
    // Counts content about to be added to the main part; throws WordError
    // naming the limit when the part would pass kMaxMainPartBytes of XML or
    // kMaxTableRows rows.
    void Grow(size_t bytes, size_t rows);

    // A part the main part relates to by that type (notes, comments), parsed
    // on first use and written back with the document; null when there is none.
    pugi::xml_document* RelatedPart(const std::string& relationshipType);
    // The clipboard's content parsed into this document, so that pasted
    // copies share its names and values instead of copying every one.
    pugi::xml_node PasteSource(const Clipboard& clipboard);
    // What keeps ids unique in pasted copies, made on first use.
    CopyRenumbering& Renumbering();
    // Throws WordError when the span refers to content that has since changed.
    void Check(const Span& span) const;

    const std::string& AttachedTemplateName() const { return attachedTemplateName_; }
    // "" attaches the default template.
    void SetAttachedTemplate(const std::string& path);

    // The document as a .docx package.
    std::string ToBytes();

    // Puts a finished document aside: its changed parts go into its package,
    // compressed, and the parsed XML is dropped until the document is used
    // again, so that many open documents cost little more than their
    // compressed changes. Spans and form fields taken before then are stale.
    void Park();
    // Counts the parks, so a holder of a span can tell it went stale by one.
    uint64_t Parks() const { return parks_; }

    bool presented = false;

private:
    // Parses the main part back after Park.
    void Resume() const;
    // Puts the parsed parts into the package and drops what belongs to them.
    void WriteBack();

    std::string name_;
    std::shared_ptr<const WordTemplate> source_;
    Package package_;
    // Parsed on demand after Park, also by const readers.
    mutable pugi::xml_document main_;
    mutable pugi::xml_node body_;
    mutable std::optional<FieldIndex> fields_;
    mutable bool parked_ = false;
    uint64_t parks_ = 0;
    bool mainChanged_ = false;
    uint64_t edits_ = 0;
    size_t mainBytes_;
    size_t rows_;
    std::string attachedTemplateName_;
    std::map<std::string, std::pair<std::string, std::unique_ptr<pugi::xml_document>>> related_;  // type -> part, XML
    std::unique_ptr<CopyRenumbering> renumbering_;
    pugi::xml_node pasteSource_;  // beside the root element, dropped before saving
    std::optional<FieldPlaces> pasteFields_;
    uint64_t pasteGeneration_ = 0;
};

}  // namespace office::word
