// What was read from a file, kept while the file stays the same (size and
// modification time), so that every document made from one template shares
// it instead of reading and holding its own copy.
#pragma once

#include <filesystem>
#include <map>
#include <memory>

namespace office {

template <typename T>
class FileCache {
public:
    // The cached content of path, or load(path) when there is none or the file
    // changed. What load throws passes through and nothing is kept.
    template <typename Load>
    std::shared_ptr<const T> Get(const std::filesystem::path& path, Load load) {
        std::error_code error;
        std::filesystem::path key = std::filesystem::weakly_canonical(path, error);
        if (error) key = path;
        auto modified = std::filesystem::last_write_time(key, error);
        auto size = error ? 0 : std::filesystem::file_size(key, error);
        if (!error) {
            auto found = slots_.find(key);
            if (found != slots_.end() && found->second.modified == modified && found->second.size == size) {
                return found->second.content;
            }
        }
        std::shared_ptr<const T> content = load(path);
        if (!error) slots_[key] = {modified, size, content};
        return content;
    }

private:
    struct Slot {
        std::filesystem::file_time_type modified;
        uintmax_t size;
        std::shared_ptr<const T> content;
    };
    std::map<std::filesystem::path, Slot> slots_;
};

}  // namespace office
