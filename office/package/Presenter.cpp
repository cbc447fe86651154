#include "office/package/Presenter.h"

#include "office/package/AtomicFile.h"
#include "office/package/PackageError.h"
#include "office/package/PathText.h"
#include "office/package/PresenterDesktop.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>

namespace office {
namespace {

// The output folder, made with its parents (mode 0777 less the umask) when
// it does not exist yet, and checked for writing before any document is.
std::filesystem::path ExistingOutputFolder() {
    const std::filesystem::path folder = OutputFolder();
    const auto fail = [&](const std::string& reason) {
        return PackageError("Cannot write into the output folder '" + PathText(folder) + "': " + reason);
    };
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) throw fail("it cannot be created (" + error.message() + ")");
    if (!std::filesystem::is_directory(folder, error)) throw fail("it is not a folder");
    if (const std::string reason = FolderRefusesWriting(folder); !reason.empty()) throw fail(reason);
    return folder;
}

// Moves the written file to the first free name "<base>.<ext>", "<base> (2).<ext>", ...
std::filesystem::path PlaceAtFreeName(AtomicFolderWrite& batch, size_t number, const std::filesystem::path& folder,
                                      const std::string& base, const std::string& extension) {
    const std::string suffix = "." + extension;
    for (int n = 1; n < 100000; ++n) {
        const std::string name = n == 1 ? base + suffix : base + " (" + std::to_string(n) + ")" + suffix;
        if (batch.Place(number, name)) return folder / PathFromUtf8(name);
    }
    throw PackageError("Cannot write '" + PathText(folder / PathFromUtf8(base + suffix)) + "': no free file name");
}

void Announce(const std::filesystem::path& path) {
    std::printf("%s\n", PathText(path).c_str());
    std::fflush(stdout);
    const char* open = std::getenv("TOLVANE_OPEN");
    if (!open || std::string_view(open) != "0") OpenOnDesktop(path);
}

}  // namespace

std::filesystem::path PresentDocument(std::string_view baseName, std::string_view extension, std::string_view bytes) {
    return PresentDocuments({{std::string(baseName), std::string(extension), std::string(bytes)}}, [](size_t) {})
        .front();
}

std::filesystem::path PresentDocument(std::string_view baseName, std::string_view extension,
                                      const ContentWriter& write) {
    return PresentDocuments({{std::string(baseName), std::string(extension), write}}, [](size_t) {}).front();
}

std::vector<std::filesystem::path> PresentDocuments(const std::vector<PresentedDocument>& documents,
                                                    const std::function<void(size_t)>& presented) {
    // Unnamed files stay open until placed: a few hundred at a time keep
    // well below the limit of open files, at one flush each.
    constexpr size_t kDocumentsPerFlush = 256;
    const std::filesystem::path folder = ExistingOutputFolder();
    AtomicFolderWrite batch(folder);
    std::vector<std::filesystem::path> paths;
    for (size_t first = 0; first < documents.size(); first += kDocumentsPerFlush) {
        size_t end = std::min(documents.size(), first + kDocumentsPerFlush);
        // One that cannot be written does not cost the ones before it.
        std::exception_ptr failure;
        for (size_t i = first; i < end && !failure; ++i) {
            const PresentedDocument& document = documents[i];
            try {
                batch.Add(document.write ? document.write : [&](const ByteSink& sink) { sink(document.bytes); });
            } catch (const PackageError&) {
                failure = std::current_exception();
                end = i;
            }
        }
        batch.Flush();
        for (size_t i = first; i < end; ++i) {
            paths.push_back(PlaceAtFreeName(batch, i, folder, documents[i].baseName, documents[i].extension));
            presented(i);
            Announce(paths.back());
        }
        if (failure) std::rethrow_exception(failure);
    }
    batch.Flush();
    return paths;
}

}  // namespace office
