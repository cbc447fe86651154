#include "office/package/Presenter.h"
#include "office/package/PresenterDesktop.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace office {
namespace {

bool DesktopAvailable() {
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

std::string FolderRefusesWriting(const std::filesystem::path& folder) {
    return access(folder.c_str(), W_OK | X_OK) == 0 ? "" : std::strerror(errno);
}

void OpenOnDesktop(const std::filesystem::path& path) {
    if (DesktopAvailable()) OpenWithDesktop(path);
}

}  // namespace office
