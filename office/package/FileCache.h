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
        // A program names one template for every document it adds: the same
        // path text as last time, naming an unchanged file, takes two status
        // queries instead of the path's resolution (a link read per folder).
        std::error_code pathError;
        Stamp stamp = StampOf(path, pathError);
        if (!pathError && last_ && path == lastPath_ && stamp == lastStamp_) return last_;
        last_.reset();
        std::error_code error;
        std::filesystem::path key = std::filesystem::weakly_canonical(path, error);
        if (error) key = path;
        Stamp keyStamp = StampOf(key, error);
        std::shared_ptr<const T> content;
        if (!error) {
            auto found = slots_.find(key);
            if (found != slots_.end() && found->second.stamp == keyStamp) content = found->second.content;
        }
        if (!content) {
            content = load(path);
            if (!error) slots_[key] = {keyStamp, content};
        }
        if (!pathError && !error) {
            lastPath_ = path;
            lastStamp_ = stamp;
            last_ = content;
        }
        return content;
    }

private:
    struct Stamp {
        std::filesystem::file_time_type modified;
        uintmax_t size = 0;
        bool operator==(const Stamp&) const = default;
    };
    struct Slot {
        Stamp stamp;
        std::shared_ptr<const T> content;
    };

    static Stamp StampOf(const std::filesystem::path& path, std::error_code& error) {
        Stamp stamp{std::filesystem::last_write_time(path, error), 0};
        if (!error) stamp.size = std::filesystem::file_size(path, error);
        return stamp;
    }

    std::map<std::filesystem::path, Slot> slots_;
    std::filesystem::path lastPath_;
    Stamp lastStamp_;
    std::shared_ptr<const T> last_;
};

}  // namespace office
