#include "office/wordprocessor/WordDocument.h"

#include "office/package/PackageError.h"
#include "office/package/Xml.h"
#include "office/wordprocessor/AttachedTemplate.h"
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
      fields_(body_, *source_->names),
      attachedTemplateName_(source_->attachedTemplateName) {}

void WordDocument::NoteInsertion() {
    mainChanged_ = true;
    fields_.Invalidate();
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
        AttachTemplate(package_, source_->mainPart, std::filesystem::absolute(path).string());
        attachedTemplateName_ = word::AttachedTemplateName(package_, source_->mainPart);
    } catch (const PackageError& error) {
        throw WordError(error.what());
    }
}

std::string WordDocument::ToBytes() {
    if (mainChanged_) {
        package_.SetPart(source_->mainPart, SerializeXml(main_));
        mainChanged_ = false;
    }
    return package_.ToBytes();
}

}  // namespace office::word
