// Writing a whole file so that readers never see half of it and an existing
// file is never replaced.
#pragma once

#include "office/package/ByteSink.h"
#include "office/package/TemporaryNames.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace office {

// Bytes written into a folder under no final name yet: an unnamed file
// (O_TMPFILE) where the file system has them, so that nothing is left
// behind however the process ends; else (and always on Windows) a hidden
// temporary file, removed when the object goes without having been moved or
// a signal ends the process (TemporaryName). TemporaryFile.cpp and
// TemporaryFileWindows.cpp are the two systems' sides.
class TemporaryFile {
public:
    // Throws PackageError naming `shown` when the file cannot be written;
    // what `write` throws goes on, and the file with it.
    TemporaryFile(const std::filesystem::path& folder, const std::filesystem::path& shown, const ContentWriter& write,
                  bool flush);
    TemporaryFile(const std::filesystem::path& folder, const std::filesystem::path& shown, std::string_view bytes,
                  bool flush);
    TemporaryFile(TemporaryFile&& other) noexcept;
    TemporaryFile& operator=(TemporaryFile&&) = delete;
    ~TemporaryFile();

    // Gives the file the name target unless that exists (EEXIST); 0 or an errno.
    int MoveTo(const std::filesystem::path& target);

private:
    void Discard();

    int fd_ = -1;                 // open until moved when the file is unnamed
    std::filesystem::path path_;  // the temporary name, when there is one
    std::unique_ptr<TemporaryName> removedOnSignal_;
};

// Hands what `write` makes to `put` in pieces of some hundred KiB, or
// bigger ones as they come. Returns false as soon as `put` does, which has
// kept the reason; what `write` throws goes on. For each system's side.
bool WriteInPieces(const ContentWriter& write, const std::function<bool(std::string_view)>& put);

// Makes the entries moved into folder durable; the data is already.
void SyncFolder(const std::filesystem::path& folder);
// Flushes every file written into folder's file system; throws PackageError.
void FlushFileSystem(const std::filesystem::path& folder);

// Writes a temporary file beside target, flushes it to disk and
// moves it to target. Returns false, writing nothing, when target exists;
// throws PackageError naming the file for any other failure.
bool WriteFileNoReplace(const std::filesystem::path& target, const ContentWriter& write);

// Many files into one folder at once: every temporary file is written first,
// one flush of the file system makes them all durable, then each is moved to
// a free name. One flush instead of one per file is what makes writing a
// thousand documents fast.
class AtomicFolderWrite {
public:
    explicit AtomicFolderWrite(std::filesystem::path folder) : folder_(std::move(folder)) {}
    AtomicFolderWrite(const AtomicFolderWrite&) = delete;
    AtomicFolderWrite& operator=(const AtomicFolderWrite&) = delete;

    // Writes a new temporary file in the folder; returns its number.
    size_t Add(const ContentWriter& write);
    // Flushes everything added or placed so far to disk.
    void Flush();
    // Moves file `number` to the folder's entry `name` unless that exists;
    // returns false, keeping the temporary file, when it does. An unnamed
    // file stays open until then, so a caller places what it added in
    // batches of a few hundred.
    bool Place(size_t number, const std::string& name);

private:
    std::filesystem::path folder_;
    std::vector<TemporaryFile> temporaries_;  // the files not moved into place go with them
};

}  // namespace office
