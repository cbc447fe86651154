#include "office/package/AtomicFile.h"

#include "office/package/PackageError.h"
#include "office/package/PathText.h"

#include <cerrno>
#include <cstring>

namespace office {
namespace {

std::string MoveFailure(const std::filesystem::path& target, int error) {
    return "Cannot write '" + PathText(target) + "': moving the temporary file into place failed (" +
           std::strerror(error) + ")";
}

}  // namespace

bool WriteFileNoReplace(const std::filesystem::path& target, std::string_view bytes) {
    std::error_code ignored;
    if (std::filesystem::exists(std::filesystem::symlink_status(target, ignored))) return false;
    std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
    TemporaryFile temp(folder, target, bytes, true);
    int error = temp.MoveTo(target);
    if (error == EEXIST) return false;
    if (error != 0) throw PackageError(MoveFailure(target, error));
    SyncFolder(folder);
    return true;
}

size_t AtomicFolderWrite::Add(std::string_view bytes) {
    temporaries_.emplace_back(folder_, folder_ / "document", bytes, false);
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
