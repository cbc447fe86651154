// The folders a conversion works in, where the systems differ.
// ConversionFolders.cpp (Linux) and ConversionFoldersWindows.cpp are the two sides.
#pragma once

#include <filesystem>

namespace office {

// The user's folder for caches: XDG_CACHE_HOME or ~/.cache on Linux,
// %LOCALAPPDATA% on Windows; empty when the environment names none.
std::filesystem::path UserCacheFolder();

// A new folder inside parent that only the user reads, named after
// "convert-"; empty when none can be made.
std::filesystem::path MakePrivateFolder(const std::filesystem::path& parent);

}  // namespace office
