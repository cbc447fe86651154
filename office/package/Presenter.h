// Showing a document to the user: both office servers keep documents in
// memory and, when they become visible, hand each one to the desktop.
#pragma once

#include "office/package/ByteSink.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace office {

// The folder documents are written to: TOLVANE_OUTPUT_DIR, or else the
// current directory on Linux and the user's Documents folder on Windows.
// Each system's side is in PresenterDesktop*.cpp.
std::filesystem::path OutputFolder();

// Writes bytes as "<baseName>.<extension>" into the output folder, or as
// "<baseName> (2).<extension>", "(3)", ... when that name is taken; the write
// is atomic and never replaces a file. Prints the written path on standard
// output (UTF-8) and opens it on the desktop (xdg-open when a display is
// there, ShellExecuteW on Windows) unless TOLVANE_OPEN is 0. Returns the path; throws PackageError naming the
// file when writing fails.
std::filesystem::path PresentDocument(std::string_view baseName, std::string_view extension, std::string_view bytes);
// The same for a document that `write` writes straight into its file.
std::filesystem::path PresentDocument(std::string_view baseName, std::string_view extension,
                                      const ContentWriter& write);

struct PresentedDocument {
    PresentedDocument(std::string baseName, std::string extension, std::string bytes)
        : baseName(std::move(baseName)), extension(std::move(extension)), bytes(std::move(bytes)) {}
    // A document that `write` writes straight into its file, never held whole.
    PresentedDocument(std::string baseName, std::string extension, ContentWriter write)
        : baseName(std::move(baseName)), extension(std::move(extension)), write(std::move(write)) {}

    std::string baseName;
    std::string extension;
    std::string bytes;
    ContentWriter write;  // instead of bytes when set
};

// Presents several documents as PresentDocument does, with one flush to disk
// for every few hundred of them, and returns their paths. Calls presented(i) once document
// i is in place; after a failure the documents not yet in place are not written.
std::vector<std::filesystem::path> PresentDocuments(const std::vector<PresentedDocument>& documents,
                                                    const std::function<void(size_t)>& presented);

}  // namespace office
