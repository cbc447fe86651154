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

bool WriteAll(int fd, std::string_view bytes, int& error) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) {
            error = wrote < 0 ? errno : EIO;
            return false;
        }
        done += static_cast<size_t>(wrote);
    }
    return true;
}

// A file without its final name: a hidden temporary file named after
// `shown`, or none when the file system gives unnamed ones.
int OpenTemporary(const std::filesystem::path& folder, const std::filesystem::path& shown,
                  std::filesystem::path& path) {
    int fd = open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) return fd;
    std::string name = (folder / ("." + shown.filename().string() + ".XXXXXX")).string();
    fd = mkstemp(name.data());
    if (fd < 0) return fd;
    path = name;
    // mkstemp makes the file private; a document the user keeps gets the usual mode.
    mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    return fd;
}

// Links an unnamed file in as target; fails with EEXIST instead of replacing.
int LinkUnnamed(int fd, const std::string& target) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, target.c_str(), AT_SYMLINK_FOLLOW) == 0) return 0;
    const int error = errno;
    if (error == EEXIST) return error;
    // Without /proc, AT_EMPTY_PATH does the same where the process may use it.
    if (linkat(fd, "", AT_FDCWD, target.c_str(), AT_EMPTY_PATH) == 0) return 0;
    return errno == EEXIST ? EEXIST : error;
}

// Moves a named temporary file to target unless target exists: renameat2
// where the file system supports it, a hard link otherwise. Both fail with
// EEXIST instead of replacing.
int RenameNoReplace(const std::filesystem::path& temp, const std::filesystem::path& target) {
    if (renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return errno;
    if (link(temp.c_str(), target.c_str()) != 0) return errno;
    unlink(temp.c_str());
    return 0;
}

}  // namespace

void SyncFolder(const std::filesystem::path& folder) {
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

TemporaryFile::TemporaryFile(const std::filesystem::path& folder, const std::filesystem::path& shown,
                             const ContentWriter& write, bool flush) {
    fd_ = OpenTemporary(folder, shown, path_);
    if (fd_ < 0) throw PackageError(Reason(shown, "cannot create a temporary file in its folder", errno));
    if (!path_.empty()) removedOnSignal_ = std::make_unique<TemporaryName>(path_);
    int error = 0;
    bool written = false;
    try {
        written = WriteInPieces(write, [&](std::string_view bytes) { return WriteAll(fd_, bytes, error); });
    } catch (...) {
        Discard();
        throw;
    }
    if (!written) {
        Discard();
        throw PackageError(Reason(shown, "writing failed", error));
    }
    if (flush && fsync(fd_) != 0) {
        error = errno;
        Discard();
        throw PackageError(Reason(shown, "flushing failed", error));
    }
    if (!path_.empty()) {
        const int closed = close(fd_);
        error = errno;
        fd_ = -1;
        if (closed != 0) {
            Discard();
            throw PackageError(Reason(shown, "flushing failed", error));
        }
    }
}

TemporaryFile::~TemporaryFile() { Discard(); }

void TemporaryFile::Discard() {
    if (fd_ >= 0) close(fd_);
    if (!path_.empty()) unlink(path_.c_str());
    fd_ = -1;
    path_.clear();
    removedOnSignal_.reset();
}

int TemporaryFile::MoveTo(const std::filesystem::path& target) {
    const int error = fd_ >= 0 ? LinkUnnamed(fd_, target.string()) : RenameNoReplace(path_, target);
    if (error != 0) return error;
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    path_.clear();
    removedOnSignal_.reset();
    return 0;
}

void FlushFileSystem(const std::filesystem::path& folder) {
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) throw PackageError(Reason(folder, "the folder cannot be opened", errno));
    int result = syncfs(fd);
    int error = errno;
    close(fd);
    if (result != 0) throw PackageError(Reason(folder, "flushing failed", error));
}

}  // namespace office
