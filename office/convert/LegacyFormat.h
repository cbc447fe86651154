// Recognises the old binary, RTF and OpenDocument files that the servers
// convert to OOXML before reading them. The content decides, not the name.
#pragma once

#include <filesystem>
#include <string>

namespace office {

enum class LegacyKind { None, Text, Spreadsheet };

struct LegacyFormat {
    LegacyKind kind = LegacyKind::None;
    std::string description;  // "a binary Word file (.doc/.dot)"
    std::string extension;    // what the converter is told the file is: "dot", "ods", ...
    bool isTemplate = false;
};

// None for OOXML packages, unreadable or unrecognised files and anything
// that is not a regular file (reading a pipe would block).
LegacyFormat DetectLegacyFormat(const std::filesystem::path& path);

}  // namespace office
