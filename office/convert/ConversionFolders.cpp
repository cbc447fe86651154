#include "office/convert/ConversionFolders.h"

#include <cstdlib>
#include <string>

namespace office {

std::filesystem::path UserCacheFolder() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache && std::filesystem::path(cache).is_absolute()) return cache;
    const char* home = std::getenv("HOME");
    if (home && std::filesystem::path(home).is_absolute()) return std::filesystem::path(home) / ".cache";
    return {};
}

std::filesystem::path MakePrivateFolder(const std::filesystem::path& parent) {
    std::string pattern = (parent / "convert-XXXXXX").string();
    if (!mkdtemp(pattern.data())) return {};
    return pattern;
}

}  // namespace office
