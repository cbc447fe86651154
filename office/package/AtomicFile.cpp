#include "office/package/AtomicFile.h"

#include "office/package/PackageError.h"
#include "office/package/PathText.h"

#include <cerrno>
#include <cstring>
#include <utility>

namespace office {
namespace {

std::string MoveFailure(const std::filesystem::path& target, int error) {
    return "Cannot write '" + PathText(target) + "': moving the temporary file into place failed (" +
           std::strerror(error) + ")";
}

}  // namespace

TemporaryFile::TemporaryFile(TemporaryFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      path_(std::exchange(other.path_, {})),
      removedOnSignal_(std::move(other.removedOnSignal_)) {}

TemporaryFile::TemporaryFile(const std::filesystem::path& folder, const std::filesystem::path& shown,
                             std::string_view bytes, bool flush)
    : TemporaryFile(folder, shown, [&](const ByteSink& sink) { sink(bytes); }, flush) {}

bool WriteInPieces(const ContentWriter& write, const std::function<bool(std::string_view)>& put) {
    constexpr size_t kPiece = 256 * 1024;
    struct Failed {};
    std::string gathered;
    auto putGathered = [&] {
        if (!put(gathered)) throw Failed{};
        gathered.clear();
    };
    try {
        write([&](std::string_view bytes) {
            if (gathered.size() + bytes.size() < kPiece) {
                gathered += bytes;
                return;
            }
            if (!gathered.empty()) putGathered();
            if (bytes.size() >= kPiece) {
                if (!put(bytes)) throw Failed{};
            } else {
                gathered += bytes;
            }
        });
        if (!gathered.empty()) putGathered();
    } catch (const Failed&) {
        return false;
    }
    return true;
}

bool WriteFileNoReplace(const std::filesystem::path& target, const ContentWriter& write) {
    std::error_code ignored;
    if (std::filesystem::exists(std::filesystem::symlink_status(target, ignored))) return false;
    std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
    TemporaryFile temp(folder, target, write, true);
    int error = temp.MoveTo(target);
    if (error == EEXIST) return false;
    if (error != 0) throw PackageError(MoveFailure(target, error));
    SyncFolder(folder);
    return true;
}

size_t AtomicFolderWrite::Add(const ContentWriter& write) {
    temporaries_.emplace_back(folder_, folder_ / "document", write, false);
    return temporaries_.size() - 1;
}

void AtomicFolderWrite::Flush() { FlushFileSystem(folder_); }

bool AtomicFolderWrite::Place(size_t number, const std::string& name) {
    const std::filesystem::path target = folder_ / PathFromUtf8(name);
    std::error_code ignored;
    if (std::filesystem::exists(std::filesystem::symlink_status(target, ignored))) return false;
    int error = temporaries_[number].MoveTo(target);
    if (error == EEXIST) return false;
    if (error != 0) throw PackageError(MoveFailure(target, error));
    return true;
}

}  // namespace office
