#include "office/package/Package.h"

#include "office/package/PackageError.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace office {
namespace {

struct ClosedAtExit {
    int fd;
    ~ClosedAtExit() { close(fd); }
};

}  // namespace

std::string ReadPackageFile(const std::filesystem::path& path) {
    const std::string shown = path.string();
    // Without O_NONBLOCK a FIFO would block the open until a writer comes.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT) throw PackageError("Cannot read '" + shown + "': the file does not exist");
        throw PackageError("Cannot read '" + shown + "': the file cannot be opened (" + std::strerror(error) + ")");
    }
    const ClosedAtExit closer{fd};
    struct stat info {};
    if (fstat(fd, &info) != 0) throw PackageError("Cannot read '" + shown + "': " + std::strerror(errno));
    if (!S_ISREG(info.st_mode)) throw PackageError("Cannot read '" + shown + "': it is not a regular file");
    const uint64_t size = static_cast<uint64_t>(info.st_size);
    if (size > (uint64_t(1) << 30)) throw PackageError("Cannot read '" + shown + "': the file is larger than 1 GiB");
    std::string bytes(size, '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = read(fd, bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) throw PackageError("Cannot read '" + shown + "': reading failed (" + std::strerror(errno) + ")");
        if (got == 0) throw PackageError("Cannot read '" + shown + "': the file became shorter while it was read");
        done += static_cast<size_t>(got);
    }
    return bytes;
}

}  // namespace office
