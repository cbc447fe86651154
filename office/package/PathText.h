// File names cross the automation interfaces as UTF-8 text; on Windows a
// path is UTF-16 and std::filesystem would read narrow text in the ANSI code
// page, so every crossing goes through these two.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace office {

inline std::filesystem::path PathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string PathText(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace office
