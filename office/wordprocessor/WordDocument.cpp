#include "office/wordprocessor/WordDocument.h"

#include "office/package/PackageError.h"
#include "office/package/PathText.h"
#include "office/package/Xml.h"
#include "office/package/Relationships.h"
#include "office/wordprocessor/AttachedTemplate.h"
#include "office/wordprocessor/CopyRenumbering.h"
#include "office/wordprocessor/WordError.h"

#include <filesystem>

namespace office::word {
namespace {

pugi::xml_node CopyMain(pugi::xml_document& main, const WordTemplate& source) {
    main.reset(source.main);
    return main.document_element().child(source.names->body.c_str());
}

}  // namespace

WordDocument::WordDocument(std::string name, std::shared_ptr<const WordTemplate> source)
    : name_(std::move(name)),
      source_(std::move(source)),
      package_(source_->package),
      body_(CopyMain(main_, *source_)),
      fields_(std::in_place, body_, *source_->names),
      mainBytes_(source_->mainBytes),
      rows_(source_->mainRows),
      attachedTemplateName_(source_->attachedTemplateName) {}

WordDocument::~WordDocument() = default;

void WordDocument::Grow(size_t bytes, size_t rows) {
    if (bytes > kMaxMainPartBytes - mainBytes_) {
        throw WordError(name_ + " would grow past the limit of " + std::to_string(kMaxMainPartBytes >> 20) +
                        " MiB of document XML");
    }
    if (rows > kMaxTableRows - rows_) {
        throw WordError(name_ + " would grow past the limit of " + std::to_string(kMaxTableRows) + " table rows");
    }
    mainBytes_ += bytes;
    rows_ += rows;
}

pugi::xml_document* WordDocument::RelatedPart(const std::string& relationshipType) {
    auto found = related_.find(relationshipType);
    if (found == related_.end()) {
        std::unique_ptr<pugi::xml_document> xml;
        std::string part;
        try {
            part = Relationships(package_, source_->mainPart).TargetPartOfType(relationshipType);
            if (!part.empty() && package_.HasPart(part)) {
                xml = std::make_unique<pugi::xml_document>();
                ParseXml(*xml, package_.Part(part), "The part " + part + " of " + name_);
            }
        } catch (const PackageError& error) {
            throw WordError(error.what());
        }
        found = related_.emplace(relationshipType, std::make_pair(part, std::move(xml))).first;
    }
    return found->second.second.get();
}

pugi::xml_node WordDocument::PasteSource(const Clipboard& clipboard) {
    Resume();
    if (pasteGeneration_ != clipboard.generation) {
        if (pasteSource_) RemoveSubtree(pasteSource_);
        pasteFields_.reset();
        pasteSource_ = main_.append_child("paste");
        pugi::xml_parse_result parsed = pasteSource_.append_buffer(
            clipboard.xml.data(), clipboard.xml.size(), pugi::parse_default | pugi::parse_ws_pcdata, pugi::encoding_utf8);
        if (!parsed) throw WordError(std::string("the copied content could not be read back: ") + parsed.description());
        std::vector<pugi::xml_node> content(pasteSource_.begin(), pasteSource_.end());
        pasteFields_.emplace(content, *source_->names);
        pasteGeneration_ = clipboard.generation;
    }
    return pasteSource_;
}

CopyRenumbering& WordDocument::Renumbering() {
    if (!renumbering_) renumbering_ = std::make_unique<CopyRenumbering>(*this);
    return *renumbering_;
}

void WordDocument::NotePaste(const std::vector<pugi::xml_node>& copy) {
    mainChanged_ = true;
    if (fields_ && pasteFields_) fields_->Pasted(copy, *pasteFields_);
}

void WordDocument::NoteDeletion() {
    mainChanged_ = true;
    ++edits_;
}

void WordDocument::Check(const Span& span) const {
    if (span.kind == SpanKind::Field) {
        if (!span.field || !span.field->alive) throw WordError("The form field no longer exists in " + name_);
        return;
    }
    if (span.edits != edits_) throw WordError("The range no longer exists in " + name_ + ": the document has changed");
}

void WordDocument::SetAttachedTemplate(const std::string& path) {
    try {
        if (path.empty()) {
            for (const auto& [part, entry] : source_->detachedParts) {
                if (entry) {
                    package_.SetEntry(entry);
                } else {
                    package_.RemovePart(part);
                }
            }
            attachedTemplateName_ = "Normal.dotm";
            return;
        }
        AttachTemplate(package_, source_->mainPart, PathText(std::filesystem::absolute(PathFromUtf8(path))));
        attachedTemplateName_ = word::AttachedTemplateName(package_, source_->mainPart);
    } catch (const PackageError& error) {
        throw WordError(error.what());
    }
}

void WordDocument::WriteBack() {
    if (pasteSource_) {
        RemoveSubtree(pasteSource_);
        pasteSource_ = pugi::xml_node();
        pasteFields_.reset();
        pasteGeneration_ = 0;
    }
    if (mainChanged_) {
        package_.SetEntry(SerializeXmlEntry(main_, package_.Entry(source_->mainPart)->name));
        mainChanged_ = false;
    }
    for (auto& [type, related] : related_) {
        if (related.second) package_.SetPart(related.first, SerializeXml(*related.second));
    }
    related_.clear();
    renumbering_.reset();
}

std::string WordDocument::ToBytes() {
    if (!parked_) WriteBack();
    return package_.ToBytes();
}

void WordDocument::Park() {
    if (parked_) return;
    WriteBack();
    package_.Compress();
    fields_->Retire();
    fields_.reset();
    body_ = pugi::xml_node();
    main_.reset();
    ++edits_;
    ++parks_;
    parked_ = true;
}

void WordDocument::Resume() const {
    if (!parked_) return;
    try {
        ParseXml(main_, package_.Part(source_->mainPart), "The part " + source_->mainPart + " of " + name_);
    } catch (const PackageError& error) {
        main_.reset();
        throw WordError(error.what());
    }
    body_ = main_.document_element().child(source_->names->body.c_str());
    fields_.emplace(body_, *source_->names);
    parked_ = false;
}

}  // namespace office::word
