#include "office/package/AtomicFile.h"

#include "office/package/PackageError.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace office {
namespace {

std::string Reason(const std::filesystem::path& target, const char* what, int error) {
    return "Cannot write '" + target.string() + "': " + what + " (" + std::strerror(error) + ")";
}

// Moves temp to target unless target exists: renameat2 where the file system
// supports it, a hard link otherwise. Both fail with EEXIST instead of replacing.
int MoveNoReplace(const std::string& temp, const std::string& target) {
    if (renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return errno;
    if (link(temp.c_str(), target.c_str()) != 0) return errno;
    unlink(temp.c_str());
    return 0;
}

void SyncFolder(const std::filesystem::path& folder) {
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

// Writes bytes to a new temporary file named after `shown` in folder and
// returns its path; flushes it to disk first when `flush` is set.
std::string WriteTemporary(const std::filesystem::path& folder, const std::filesystem::path& shown,
                           std::string_view bytes, bool flush) {
    std::string temp = (folder / ("." + shown.filename().string() + ".XXXXXX")).string();
    int fd = mkstemp(temp.data());
    if (fd < 0) throw PackageError(Reason(shown, "cannot create a temporary file in its folder", errno));
    // mkstemp makes the file private; a document the user keeps gets the usual mode.
    mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) {
            int error = wrote < 0 ? errno : EIO;
            close(fd);
            unlink(temp.c_str());
            throw PackageError(Reason(shown, "writing failed", error));
        }
        done += static_cast<size_t>(wrote);
    }
    if ((flush && fsync(fd) != 0) || close(fd) != 0) {
        int error = errno;
        unlink(temp.c_str());
        throw PackageError(Reason(shown, "flushing failed", error));
    }
    return temp;
}

}  // namespace

bool WriteFileNoReplace(const std::filesystem::path& target, std::string_view bytes) {
    std::error_code ignored;
    if (std::filesystem::exists(std::filesystem::symlink_status(target, ignored))) return false;
    std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
    std::string temp = WriteTemporary(folder, target, bytes, true);
    int error = MoveNoReplace(temp, target.string());
    if (error != 0) {
        unlink(temp.c_str());
        if (error == EEXIST) return false;
        throw PackageError(Reason(target, "moving the temporary file into place failed", error));
    }
    SyncFolder(folder);
    return true;
}

AtomicFolderWrite::~AtomicFolderWrite() {
    for (const std::string& temp : temporaries_) {
        if (!temp.empty()) unlink(temp.c_str());
    }
}

size_t AtomicFolderWrite::Add(std::string_view bytes) {
    temporaries_.push_back(WriteTemporary(folder_, folder_ / "document", bytes, false));
    return temporaries_.size() - 1;
}

void AtomicFolderWrite::Flush() {
    int fd = open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) throw PackageError(Reason(folder_, "the folder cannot be opened", errno));
    int result = syncfs(fd);
    int error = errno;
    close(fd);
    if (result != 0) throw PackageError(Reason(folder_, "flushing failed", error));
}

bool AtomicFolderWrite::Place(size_t number, const std::string& name) {
    const std::filesystem::path target = folder_ / name;
    std::error_code ignored;
    if (std::filesystem::exists(std::filesystem::symlink_status(target, ignored))) return false;
    int error = MoveNoReplace(temporaries_[number], target.string());
    if (error == EEXIST) return false;
    if (error != 0) throw PackageError(Reason(target, "moving the temporary file into place failed", error));
    temporaries_[number].clear();
    return true;
}

}  // namespace office
