// A template read once and turned into the starting point of every document
// made from it: a document's content type, no macros, attached to the
// template, fresh core properties. Documents copy it; unchanged parts are
// shared, not copied.
#pragma once

#include "office/package/FileCache.h"
#include "office/package/Package.h"
#include "office/wordprocessor/WordNames.h"

#include <pugixml.hpp>

#include <filesystem>
#include <map>
#include <utility>
#include <memory>
#include <string>
#include <vector>

namespace office::word {

struct WordTemplate {
    std::filesystem::path path;
    Package package;
    std::string mainPart;  // "word/document.xml"
    pugi::xml_document main;
    std::unique_ptr<WordNames> names;
    std::string attachedTemplateName;  // what AttachedTemplate reports
    size_t mainBytes = 0;              // of the main part's XML
    size_t mainRows = 0;               // table rows in the main part

    // The parts that change when a document is detached from its template
    // (AttachedTemplate = ""), made once and shared by all documents; a
    // null entry is a part that goes.
    std::vector<std::pair<std::string, std::shared_ptr<const ZipEntry>>> detachedParts;
};

// Reads a .dotx/.dotm/.docx/.docm file. Throws WordError naming the file and
// the reason when it is missing, unsafe or not a WordprocessingML package.
std::shared_ptr<const WordTemplate> LoadWordTemplate(const std::filesystem::path& path);

// Templates by path, reread only when the file changes.
using TemplateCache = FileCache<WordTemplate>;

}  // namespace office::word
