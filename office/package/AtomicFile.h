// Writing a whole file so that readers never see half of it and an existing
// file is never replaced.
#pragma once

#include <filesystem>
#include <string_view>

namespace office {

// Writes bytes to a temporary file beside target, flushes it to disk and
// moves it to target. Returns false, writing nothing, when target exists;
// throws PackageError naming the file for any other failure.
bool WriteFileNoReplace(const std::filesystem::path& target, std::string_view bytes);

}  // namespace office
