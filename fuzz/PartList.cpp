#include "fuzz/PartList.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "office/package/ZipArchive.h"

namespace fuzz {
namespace {

constexpr std::string_view kMarker = "== ";

// Removed when the process ends normally.
class Scratch {
public:
    Scratch() : path(std::filesystem::temp_directory_path() / ("tolvane-fuzz-" + std::to_string(getpid()))) {
        std::filesystem::create_directories(path / "out");
    }
    ~Scratch() {
        std::error_code error;
        std::filesystem::remove_all(path, error);
    }
    const std::filesystem::path path;
};

const std::filesystem::path& ScratchFolder() {
    static const Scratch scratch;
    return scratch.path;
}

}  // namespace

std::string ZipOfPartList(std::string_view input) {
    std::vector<std::shared_ptr<const office::ZipEntry>> entries;
    size_t at = input.rfind(kMarker, 0) == 0 ? 0 : input.find("\n== ");
    while (at != std::string_view::npos && entries.size() < 1000) {
        const size_t nameStart = at + (input[at] == '\n' ? 1 : 0) + kMarker.size();
        const size_t nameEnd = std::min(input.find('\n', nameStart), input.size());
        const size_t next = nameEnd < input.size() ? input.find("\n== ", nameEnd) : std::string_view::npos;
        const size_t bodyStart = std::min(nameEnd + 1, input.size());
        auto entry = std::make_shared<office::ZipEntry>();
        entry->name = std::string(input.substr(nameStart, nameEnd - nameStart));
        entry->data = std::string(input.substr(bodyStart, (next == std::string_view::npos ? input.size() : next) - bodyStart));
        entries.push_back(std::move(entry));
        at = next;
    }
    return entries.empty() ? "" : office::WriteZip(entries);
}

std::string ScratchFile(const std::string& name, std::string_view bytes) {
    const std::filesystem::path path = ScratchFolder() / name;
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

std::string EmptyOutputFolder() {
    const std::filesystem::path out = ScratchFolder() / "out";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(out, error)) std::filesystem::remove(entry.path(), error);
    return out.string();
}

}  // namespace fuzz
