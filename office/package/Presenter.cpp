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

std::filesystem::path PresentDocument(std::string_view baseName, std::string_view extension, std::string_view bytes) {
    const std::filesystem::path folder = OutputFolder();
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        throw PackageError("Cannot write into '" + folder.string() + "': the output folder does not exist");
    }
    const std::string base(baseName);
    const std::string suffix = "." + std::string(extension);
    for (int n = 1; n < 100000; ++n) {
        std::filesystem::path target = folder / (n == 1 ? base + suffix : base + " (" + std::to_string(n) + ")" + suffix);
        if (!WriteFileNoReplace(target, bytes)) continue;
        std::printf("%s\n", target.c_str());
        std::fflush(stdout);
        if (DesktopAvailable()) OpenWithDesktop(target);
        return target;
    }
    throw PackageError("Cannot write '" + (folder / (base + suffix)).string() + "': no free file name");
}

}  // namespace office
