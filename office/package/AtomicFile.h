// Writing a whole file so that readers never see half of it and an existing
// file is never replaced.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace office {

// Writes bytes to a temporary file beside target, flushes it to disk and
// moves it to target. Returns false, writing nothing, when target exists;
// throws PackageError naming the file for any other failure.
bool WriteFileNoReplace(const std::filesystem::path& target, std::string_view bytes);

// Many files into one folder at once: every temporary file is written first,
// one flush of the file system makes them all durable, then each is moved to
// a free name. One flush instead of one per file is what makes writing a
// thousand documents fast.
class AtomicFolderWrite {
public:
    explicit AtomicFolderWrite(std::filesystem::path folder) : folder_(std::move(folder)) {}
    ~AtomicFolderWrite();  // removes temporary files that were not moved into place
    AtomicFolderWrite(const AtomicFolderWrite&) = delete;
    AtomicFolderWrite& operator=(const AtomicFolderWrite&) = delete;

    // Writes bytes to a new temporary file in the folder; returns its number.
    size_t Add(std::string_view bytes);
    // Flushes everything added or placed so far to disk.
    void Flush();
    // Moves file `number` to the folder's entry `name` unless that exists;
    // returns false, keeping the temporary file, when it does.
    bool Place(size_t number, const std::string& name);

private:
    std::filesystem::path folder_;
    std::vector<std::string> temporaries_;  // "" once placed
};

}  // namespace office
