#include "office/package/Presenter.h"

#include "office/package/AtomicFile.h"
#include "office/package/PackageError.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>

extern char** environ;

namespace office {
namespace {

bool DesktopAvailable() {
    const char* open = std::getenv("TOLVANE_OPEN");
    if (open && std::string_view(open) == "0") return false;
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (display && *display) || (wayland && *wayland);
}

// Starts xdg-open in the background through a shell that returns at once,
// so no child is left to reap and its output does not mix with ours.
void OpenWithDesktop(const std::filesystem::path& path) {
    const std::string file = path.string();
    const char* argv[] = {"sh", "-c", "xdg-open \"$1\" >/dev/null 2>&1 </dev/null &", "sh", file.c_str(), nullptr};
    pid_t child;
    if (posix_spawnp(&child, "sh", nullptr, nullptr, const_cast<char* const*>(argv), environ) == 0) {
        int status;
        waitpid(child, &status, 0);
    }
}

}  // namespace

std::filesystem::path OutputFolder() {
    const char* folder = std::getenv("TOLVANE_OUTPUT_DIR");
    if (folder && *folder) return folder;
    std::error_code error;
    std::filesystem::path current = std::filesystem::current_path(error);
    return error ? std::filesystem::path(".") : current;
}

namespace {

std::filesystem::path ExistingOutputFolder() {
    const std::filesystem::path folder = OutputFolder();
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        throw PackageError("Cannot write into '" + folder.string() + "': the output folder does not exist");
    }
    return folder;
}

// Moves the written file to the first free name "<base>.<ext>", "<base> (2).<ext>", ...
std::filesystem::path PlaceAtFreeName(AtomicFolderWrite& batch, size_t number, const std::filesystem::path& folder,
                                      const std::string& base, const std::string& extension) {
    const std::string suffix = "." + extension;
    for (int n = 1; n < 100000; ++n) {
        const std::string name = n == 1 ? base + suffix : base + " (" + std::to_string(n) + ")" + suffix;
        if (batch.Place(number, name)) return folder / name;
    }
    throw PackageError("Cannot write '" + (folder / (base + suffix)).string() + "': no free file name");
}

void Announce(const std::filesystem::path& path) {
    std::printf("%s\n", path.c_str());
    std::fflush(stdout);
    if (DesktopAvailable()) OpenWithDesktop(path);
}

}  // namespace

std::filesystem::path PresentDocument(std::string_view baseName, std::string_view extension, std::string_view bytes) {
    return PresentDocuments({{std::string(baseName), std::string(extension), std::string(bytes)}}, [](size_t) {})
        .front();
}

std::vector<std::filesystem::path> PresentDocuments(const std::vector<PresentedDocument>& documents,
                                                    const std::function<void(size_t)>& presented) {
    const std::filesystem::path folder = ExistingOutputFolder();
    AtomicFolderWrite batch(folder);
    for (const PresentedDocument& document : documents) batch.Add(document.bytes);
    batch.Flush();
    std::vector<std::filesystem::path> paths;
    for (size_t i = 0; i < documents.size(); ++i) {
        paths.push_back(PlaceAtFreeName(batch, i, folder, documents[i].baseName, documents[i].extension));
        presented(i);
        Announce(paths.back());
    }
    batch.Flush();
    return paths;
}

}  // namespace office
